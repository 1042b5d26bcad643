#include "CheckDeployment.h"

#include "calc/COutputDataManager.h"
#include "data/DefaultDistrict.h"
#include "data/DeploymentCopy.h"
#include "data/Error.h"
#include "data/FindDataFileName.h"
#include "data/Notifier.h"
#include "data/TableFindings.h"

#include <QDir>

namespace velmora::tools {

CheckReport CheckDeployment(const QString& deployment)
{
    using namespace velmora::data;
    CheckReport report;
    CollectingNotifier notes;
    takeFindings();
    takeDeferred();
    // The same readers as the program, on a copy: nothing in DIR changes.
    DeploymentCopy copy(deployment);
    const QString dat = QDir(deployment).filePath(QStringLiteral("dat"));
    for (const QString& key : MissingScrambledTables(copy.dataDirectory()) + MissingShippedIniFiles(copy.dataDirectory()))
        report.errors.append(MissingDataFileText(key, dat));
    try {
        COutputDataManager driver;
        LoadDistrictList(copy.dataDirectory());
    } catch (const velmora::Error& e) {
        report.errors.append(e.message());
    }
    copy.deleteWorkFiles();
    report.errors += notes.warnings;
    for (const DeferredWarning& w : takeDeferred())
        report.errors.append(w.text);
    for (const TableFinding& f : takeFindings())
        (f.level == FindingLevel::Error ? report.errors : report.warnings).append(FindingText(f));
    return report;
}

} // namespace velmora::tools
