#include "PackageConditions.h"

#include "CaseFile.h"

namespace velmora::calc {

PackageDetails PackageDetailsOf(int transportType)
{
    switch (transportType) {
    case 0:
        return PackageDetails::DebrisWorkAndLoading;
    case 1:
        return PackageDetails::RefuseKindAndDumpTruck;
    case 2:
        return PackageDetails::NoDetails;
    case 3:
        return PackageDetails::LoadClass;
    default:
        return PackageDetails::Unpriced;
    }
}

const QStringList& RefuseKinds()
{
    static const QStringList kinds{QStringLiteral("ｺﾝｸﾘｰﾄ塊等の重量物")};
    return kinds;
}

const QStringList& LoadClasses()
{
    static const QStringList classes{QStringLiteral("ｱｽﾌｧﾙﾄ塊")};
    return classes;
}

void KeepDetailsRead(CaseData& d, int transportType)
{
    const PackageDetails details = d.packageMethod ? PackageDetailsOf(transportType) : PackageDetails::Unpriced;
    if (details != PackageDetails::DebrisWorkAndLoading) {
        d.debrisWork.clear();
        d.loading.clear();
    }
    if (details != PackageDetails::RefuseKindAndDumpTruck)
        d.refuseKind.clear();
    if (details != PackageDetails::LoadClass)
        d.loadClass.clear();
    // The dump truck's choice is kept with every package case, as saved.
    if (!d.packageMethod)
        d.dumpTruckCarry = true;
}

QStringList PackageConditionTexts(const CaseData& d, int transportType)
{
    const QString did = d.did ? QStringLiteral("有り") : QStringLiteral("無し");
    switch (PackageDetailsOf(transportType)) {
    case PackageDetails::DebrisWorkAndLoading:
        return {d.transportType, d.debrisWork, d.loading, did};
    case PackageDetails::RefuseKindAndDumpTruck:
        return {d.transportType, d.refuseKind, d.dumpTruckCarry ? QStringLiteral("持込") : QStringLiteral("貸与"), did};
    case PackageDetails::NoDetails:
        return {d.transportType, did};
    case PackageDetails::LoadClass:
        return {d.transportType, d.loadClass, did};
    case PackageDetails::Unpriced:
        break;
    }
    return {};
}

} // namespace velmora::calc
