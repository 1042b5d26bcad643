#include "CBugakariList.h"

#include "data/Error.h"
#include "data/IniFile.h"

CBugakariList::CBugakariList()
{
    // The table is read once for all twelve classes; nothing changes it
    // while they load.
    const velmora::data::IniFile table =
        velmora::data::IniFile::load(CBugakariData::TablePath(), velmora::data::IniFile::Decode::AlwaysUtf16Le);
    for (const QString& className : ClassNames())
        classes.push_back(std::make_unique<CBugakariData>(className, table, velmora::data::ShippedFileName(CBugakariData::TablePath())));
}

CBugakariList::CBugakariList(const velmora::data::IniFile& table)
{
    for (const QString& className : ClassNames())
        classes.push_back(std::make_unique<CBugakariData>(className, table));
}

CBugakariList::~CBugakariList() = default;

const QStringList& CBugakariList::ClassNames()
{
    static const QStringList names{
        QStringLiteral("直接掘削積込み10t DID無"),
        QStringLiteral("直接掘削積込み10t DID有"),
        QStringLiteral("10t DID無"),
        QStringLiteral("10t DID有"),
        QStringLiteral("4t DID無"),
        QStringLiteral("4t DID有"),
        QStringLiteral("2t DID無 機械"),
        QStringLiteral("2t DID有 機械"),
        QStringLiteral("2t DID無 人力"),
        QStringLiteral("2t DID有 人力"),
        QStringLiteral("切削10t DID無"),
        QStringLiteral("切削10t DID有"),
    };
    return names;
}

QString CBugakariList::TruckClassName(bool did, int costItemIndex, int transportTypeIndex)
{
    QString pattern;
    if (costItemIndex == 0 || costItemIndex == 1) {
        switch (transportTypeIndex) {
        case 0: pattern = QStringLiteral("10t %1"); break;
        case 1: pattern = QStringLiteral("4t %1"); break;
        case 2: pattern = QStringLiteral("2t %1 機械"); break;
        case 3: pattern = QStringLiteral("2t %1 人力"); break;
        default: break;
        }
    } else if (costItemIndex == 2) {
        switch (transportTypeIndex) {
        case 0: pattern = QStringLiteral("10t %1"); break;
        case 1: pattern = QStringLiteral("4t %1"); break;
        case 2: pattern = QStringLiteral("2t %1 機械"); break;
        case 3: pattern = QStringLiteral("直接掘削積込み10t %1"); break;
        case 4: pattern = QStringLiteral("切削10t %1"); break;
        default: break;
        }
    }
    if (pattern.isEmpty())
        return QString();
    return pattern.arg(did ? QStringLiteral("DID有") : QStringLiteral("DID無"));
}

bool CBugakariList::SelectTruckClass(bool did, int costItemIndex, int transportTypeIndex)
{
    const QString wanted = TruckClassName(did, costItemIndex, transportTypeIndex);
    if (wanted.isEmpty())
        return false;
    for (current = 0; current < classes.size(); ++current) {
        if (classes[current]->GetName() == wanted)
            return true;
    }
    return false;
}

const CBugakariData* CBugakariList::Selected() const
{
    return current < classes.size() ? classes[current].get() : nullptr;
}

const CBugakariData& CBugakariList::SelectedOrThrow() const
{
    const CBugakariData* selected = Selected();
    if (!selected)
        throw velmora::Error(QStringLiteral("運搬種別に対応する歩掛の車種が選択されていません。"));
    return *selected;
}

double CBugakariList::QuantityAt(double km) const
{
    return SelectedOrThrow().QuantityAt(km);
}

QString CBugakariList::BandTextAt(double km) const
{
    return SelectedOrThrow().BandTextAt(km);
}
