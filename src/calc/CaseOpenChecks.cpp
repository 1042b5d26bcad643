#include "CaseOpenChecks.h"

#include "data/NumberText.h"

#include <QDir>

namespace velmora::calc {

void CheckCaseJobSite(const CaseData& d)
{
    if (StrToFloatDefault(d.xText, 0) == 0 || StrToFloatDefault(d.yText, 0) == 0)
        throw CaseFileError(QStringLiteral("案件ファイルの工事現場の座標が正しくありません。"));
}

QString CaseOpenFailureText(const QString& path, const QString& reason)
{
    return QStringLiteral("案件ファイルを開けません。\r\n%1\r\n\r\n%2").arg(QDir::toNativeSeparators(path), reason);
}

} // namespace velmora::calc
