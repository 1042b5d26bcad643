#include "CaseOpenChecks.h"

#include "COutputDataManager.h"
#include "PackageConditions.h"
#include "data/NumberText.h"

#include <QDir>

namespace velmora::calc {
namespace {

// A coordinate as velmora-calc's --x/--y take it: a number, never 0.
void CheckCoordinate(const QString& text, const QString& label)
{
    double v = 0;
    try {
        v = StrToFloat(text);
    } catch (const velmora::ConvertError&) {
        throw CaseFileError(QStringLiteral("案件ファイルの%1「%2」は数値ではありません。").arg(label, text));
    }
    if (v == 0)
        throw CaseFileError(QStringLiteral("案件ファイルの%1が 0 です。工事現場の座標がありません。").arg(label));
}

} // namespace

void CheckCaseJobSite(const CaseData& d)
{
    CheckCoordinate(d.xText, QStringLiteral("現場X座標"));
    CheckCoordinate(d.yText, QStringLiteral("現場Y座標"));
}

void CheckCaseCalculable(const CaseData& d, const CaseIndexes& at)
{
    if (d.packageMethod && PackageDetailsOf(at.transportType) == PackageDetails::Unpriced)
        throw CaseFileError(COutputDataManager::NoPackageConditionsText(d.transportType));
}

QString CaseOpenFailureText(const QString& path, const QString& reason)
{
    return QStringLiteral("案件ファイルを開けません。\r\n%1\r\n\r\n%2").arg(QDir::toNativeSeparators(path), reason);
}

} // namespace velmora::calc
