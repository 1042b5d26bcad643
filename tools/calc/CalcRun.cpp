#include "CalcRun.h"

#include "app/CQuillonVersionIniManager.h"
#include "calc/CaseFile.h"
#include "calc/CaseOpenChecks.h"
#include "calc/CDisplayCalcResultList.h"
#include "calc/COutputDataManager.h"
#include "calc/PackageConditions.h"
#include "calc/ResultRowTexts.h"
#include "calc/ResultTable.h"
#include "data/CEnDecryption.h"
#include "data/CHimokuRowSource.h"
#include "data/CSPGaraHasseiComboBox.h"
#include "data/CSPHimokuRowSource.h"
#include "data/CSPSyubetsuComboBox.h"
#include "data/CSPTsumikomiComboBox.h"
#include "data/CSyubetsuComboBox.h"
#include "data/DefaultDistrict.h"
#include "data/DeploymentCopy.h"
#include "data/FindDataFileName.h"
#include "data/Notifier.h"
#include "data/TableFindings.h"
#include "data/NumberText.h"
#include "data/Paths.h"
#include "geo/CCoordinatesConvert.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <memory>

using velmora::data::Paths;

namespace velmora::tools {
namespace {

const QString kNoSiteMessage =
    QStringLiteral("60km以内に登録された処分場が見つかりませんでした。\n入力された座標を確認してください。");

// Every warning a reader raises while loading: the window would show it in a
// box and carry on with a gap in its tables, but a script must not get
// figures computed from half a deployment.
using velmora::data::CollectingNotifier;

// The selection lists as the condition panel offers them.
struct Lists
{
    CHimokuRowSource himoku;
    CSPHimokuRowSource spHimoku;
    CSyubetsuComboBox syubetsu{nullptr};
    CSPSyubetsuComboBox spSyubetsu{nullptr};
    CSPGaraHasseiComboBox spGaraHassei{nullptr};
    CSPTsumikomiComboBox spTsumikomi{nullptr};
};

QString DeploymentFolder(const CalcArguments& a)
{
    if (a.deployDir.isEmpty())
        return Paths::exeDirectory();
    if (!QFileInfo(QDir(a.deployDir).filePath(QStringLiteral("dat"))).isDir())
        throw ArgumentError(QStringLiteral("--deploy: %1 にデータフォルダ dat がありません。").arg(QDir::toNativeSeparators(a.deployDir)));
    return a.deployDir;
}

struct Loaded
{
    // Lives as long as the driver: the dump-truck quantities are read from
    // the data folder when the labour-rate conditions are set.
    std::unique_ptr<velmora::data::DeploymentCopy> copy;
    std::unique_ptr<COutputDataManager> driver;
    std::unique_ptr<Lists> lists;
    QStringList districts;
    // What the window would tell in its start-up box while the figures stand.
    QStringList notices;
    // The version labels, as the window shows them.
    QString edition;
};

Loaded Load(const QString& deployment)
{
    CollectingNotifier collected;
    Loaded loaded;
    loaded.copy = std::make_unique<velmora::data::DeploymentCopy>(deployment);
    const QStringList missing = velmora::data::MissingScrambledTables(loaded.copy->dataDirectory())
        + velmora::data::MissingShippedIniFiles(loaded.copy->dataDirectory());
    if (!missing.isEmpty()) {
        // With the copies that were passed over: a table renamed by hand
        // ("bak_ET02.dat") is why one goes missing.
        QStringList told = {velmora::data::MissingDataFileText(missing.first(), QDir(deployment).filePath(QStringLiteral("dat")))};
        told += velmora::data::takeDeferredWarnings();
        throw velmora::Error(told.join(u'\n'));
    }
    loaded.driver = std::make_unique<COutputDataManager>();
    loaded.districts = velmora::data::LoadDistrictList();
    loaded.lists = std::make_unique<Lists>();
    const CQuillonVersionIniManager version(QDir(deployment).filePath(QStringLiteral("chk_verup/version.ini")));
    loaded.edition = (version.EditionText() + u' ' + version.VersionText()).trimmed();
    loaded.copy->deleteWorkFiles();
    QStringList problems = collected.warnings;
    for (const velmora::data::DeferredWarning& w : velmora::data::takeDeferred())
        (w.kind == velmora::data::Deferral::Gap ? problems : loaded.notices).append(w.text);
    // Damaged values cost only their own part, which the rows name; every
    // finding goes to stderr, one to a line, however the calculation ends.
    for (const velmora::data::TableFinding& f : velmora::data::takeFindings())
        loaded.notices.append(velmora::data::FindingText(f));
    if (!problems.isEmpty())
        throw velmora::Error((problems + loaded.notices).join(u'\n'));
    return loaded;
}

// `file` is the list file the choices come from: an empty list there is
// damaged data, named as such, not a wrong argument.
const QString& Pick(const QStringList& list, int index, const QString& option, const QString& what,
                    const QString& file = QString())
{
    if (list.isEmpty() && !file.isEmpty())
        throw velmora::Error(COutputDataManager::NoChoicesText(what, file));
    if (list.isEmpty())
        throw ArgumentError(QStringLiteral("%1: この条件には%2の選択肢がありません。").arg(option, what));
    if (index < 0 || index >= list.size())
        throw ArgumentError(QStringLiteral("%1: %2 の番号 %3 はありません（0〜%4）。")
                                .arg(option, what)
                                .arg(index)
                                .arg(list.size() - 1));
    return list.at(index);
}

// The conditions the arguments choose, in the words of the lists, with the
// details the transport type reads; ArgumentError for a position a list
// the method reads does not have.
velmora::calc::CaseData ChosenConditions(const CalcArguments& a, const Lists& lists)
{
    velmora::calc::CaseData d;
    d.packageMethod = a.method == CalcMethod::Package;
    if (!d.packageMethod) {
        d.costItem = Pick(lists.himoku.Items(), a.costItem, QStringLiteral("--cost-item"), QStringLiteral("処分費目"),
                        QStringLiteral("Himoku_RowSource.ini"));
        d.transportType = Pick(lists.syubetsu.Items(a.costItem), a.transportType, QStringLiteral("--transport-type"),
                               QStringLiteral("運搬種別"), QStringLiteral("Syubetsu_RowSource.ini"));
        d.did = a.did;
        return d;
    }
    d.costItem = Pick(lists.spHimoku.Items(), a.costItem, QStringLiteral("--cost-item"), QStringLiteral("処分費目"),
                      QStringLiteral("SPHimoku_RowSource.ini"));
    d.transportType = Pick(lists.spSyubetsu.Items(a.costItem), a.transportType, QStringLiteral("--transport-type"),
                           QStringLiteral("運搬種別"), QStringLiteral("SPSyubetsu_RowSource.ini"));
    d.debrisWork = Pick(lists.spGaraHassei.Items(a.costItem), a.debrisWork, QStringLiteral("--debris-work"),
                        QStringLiteral("殻発生作業"), QStringLiteral("SPGaraHassei_RowSource.ini"));
    d.loading = Pick(lists.spTsumikomi.Items(a.costItem, a.debrisWork), a.loading, QStringLiteral("--loading"),
                     QStringLiteral("積込工法区分"), QStringLiteral("SPTsumikomiKubun_RowSource.ini"));
    d.refuseKind = Pick(velmora::calc::RefuseKinds(), a.refuse, QStringLiteral("--refuse"), QStringLiteral("塵芥の種類"));
    d.loadClass = Pick(velmora::calc::LoadClasses(), a.loadClass, QStringLiteral("--load-class"), QStringLiteral("積載区分"));
    d.dumpTruckCarry = a.dumpTruckCarry;
    d.did = a.did;
    velmora::calc::KeepDetailsRead(d, a.transportType);
    return d;
}

// Enter in the grid: both editable cells of the row are committed, the
// distance checked, and the costs recalculated.
void CommitGridEdit(COutputDataManager& driver, int sortMode, const GridEdit& edit)
{
    CDisplayCalcResultList& results = driver.Results();
    CDisplayCalcResultData* row = results.FindByName(edit.siteName);
    if (!row)
        throw ArgumentError(QStringLiteral("%1: 計算結果に処分場「%2」がありません。").arg(edit.option, edit.siteName));
    QStringList cells = velmora::calc::ResultRowTexts(*row, 1);
    cells[edit.column == GridEdit::Column::TransportDistance ? 3 : 9] = edit.text;
    row->CommitTypedTransportDistance(StrToFloatDefault(cells.at(3), 0));
    row->SetManualFee(StrToIntDefault(cells.at(9), 0));
    driver.SetSortMode(sortMode);
    driver.Calculate(false);
}

// The arguments a case file stands for.
CalcArguments ArgumentsOfCase(const CalcArguments& given, const velmora::calc::CaseData& d,
                              const velmora::calc::CaseIndexes& i)
{
    CalcArguments a = given;
    a.method = d.packageMethod ? CalcMethod::Package : CalcMethod::LabourRate;
    a.district = i.district;
    a.costItem = i.costItem;
    a.transportType = i.transportType;
    a.debrisWork = i.debrisWork;
    a.loading = i.loading;
    a.refuse = i.refuseKind;
    a.loadClass = i.loadClass;
    a.dumpTruckCarry = d.dumpTruckCarry;
    a.did = d.did;
    a.sortMode = d.sortMode;
    a.xText = d.xText;
    a.yText = d.yText;
    a.x = StrToFloat(d.xText);
    a.y = StrToFloat(d.yText);
    return a;
}

// The case calculated, in the words of the lists, as the window saves it.
velmora::calc::CaseData CaseOf(const CalcArguments& a, Loaded& loaded, const velmora::calc::BidCase& bidCase)
{
    velmora::calc::CaseData d = ChosenConditions(a, *loaded.lists);
    // The job site as the driver keeps it, which its rows were measured from.
    d.xText = loaded.driver->JobSite().GetXText();
    d.yText = loaded.driver->JobSite().GetYText();
    d.district = loaded.districts.value(a.district.value_or(-1));
    d.sortMode = a.sortMode;
    d.bidCase = bidCase;
    d.rows = velmora::calc::CaseRowsOf(loaded.driver->Results(), loaded.driver->JobSite());
    d.shown = velmora::calc::ShownRowsOf(loaded.driver->Results());
    d.dataEdition = loaded.edition;
    return d;
}

CalcTable Calculate(const CalcArguments& given, Loaded& loaded);

} // namespace

CalcTable RunCalc(const CalcArguments& given)
{
    const QString deployment = DeploymentFolder(given);
    Loaded loaded = Load(deployment);
    try {
        return Calculate(given, loaded);
    } catch (const ArgumentError& e) {
        // An index beyond a list may come from a damaged list file.
        if (loaded.notices.isEmpty())
            throw;
        throw ArgumentError(e.message() + u'\n' + loaded.notices.join(u'\n'));
    } catch (const velmora::Error& e) {
        if (loaded.notices.isEmpty())
            throw;
        throw velmora::Error(e.message() + u'\n' + loaded.notices.join(u'\n'));
    }
}

namespace {

CalcTable Calculate(const CalcArguments& given, Loaded& loaded)
{
    COutputDataManager& driver = *loaded.driver;
    const Lists& lists = *loaded.lists;

    std::optional<velmora::calc::CaseData> opened;
    CalcArguments a = given;
    if (!given.casePath.isEmpty()) {
        // Refused as the window refuses it, in its words.
        try {
            opened = velmora::calc::LoadCaseFile(given.casePath);
            const velmora::calc::CaseLists caseLists = velmora::calc::CaseListsOf(
                {&lists.himoku, &lists.spHimoku, &lists.syubetsu, &lists.spSyubetsu, &lists.spGaraHassei, &lists.spTsumikomi},
                loaded.districts, driver);
            // The job site first: rows measured from an unreadable one are
            // not "from elsewhere".
            velmora::calc::CheckCaseJobSite(*opened);
            const velmora::calc::CaseIndexes at = velmora::calc::ResolveCase(*opened, caseLists);
            velmora::calc::CheckCaseCalculable(*opened, at);
            a = ArgumentsOfCase(given, *opened, at);
        } catch (const velmora::Error& e) {
            throw velmora::calc::CaseFileError(velmora::calc::CaseOpenFailureText(given.casePath, e.message()));
        }
    }

    const int district = a.district
        ? a.district.value()
        : velmora::data::ChooseDistrictIndex(loaded.districts, velmora::data::ReadSavedDistrict(loaded.copy->deploymentDirectory()));
    if (a.district)
        Pick(loaded.districts, district, QStringLiteral("--district"), QStringLiteral("地区"));

    // The steps of the calculation button, in its order.
    const velmora::calc::CaseData chosen = ChosenConditions(a, lists);
    if (chosen.packageMethod) {
        const QStringList texts = velmora::calc::PackageConditionTexts(chosen, a.transportType);
        if (texts.isEmpty())
            // Priced with no group at all, or with one the conditions do not name.
            throw ArgumentError(QStringLiteral("--transport-type: ")
                                + COutputDataManager::NoPackageConditionsText(chosen.transportType));
        driver.SelectRegister(a.costItem);
        driver.SetPackageConditions(texts);
        driver.SetPackageDistrict(district);
    } else {
        driver.SelectRegister(a.costItem);
        driver.SetLabourRateConditions(district, a.did, a.costItem, a.transportType);
    }
    double latitude = 0;
    double longitude = 0;
    CCoordinatesConvert().PlaneToLatLon(a.x, a.y, latitude, longitude);
    driver.SetJobSite(latitude, longitude, a.x, a.y);
    driver.SetSortMode(a.sortMode);
    driver.Calculate(true);
    if (opened && !opened->rows.empty()) {
        const QStringList notFound = velmora::calc::ApplyCaseRows(*opened, driver.Results());
        if (!notFound.isEmpty())
            throw velmora::calc::CaseFileError(QStringLiteral("次の処分場は60km以内に見つからないため、案件を再現できません。\r\n%1")
                                                   .arg(notFound.join(QStringLiteral("\r\n"))));
        driver.Calculate(false);
    }

    // Compared before the edits given with the case change anything.
    const QStringList caseChanges =
        opened ? velmora::calc::CaseChanges(*opened, loaded.edition, velmora::calc::ShownRowsOf(driver.Results())) : QStringList();
    for (const GridEdit& edit : a.edits)
        CommitGridEdit(driver, a.sortMode, edit);

    if (!a.saveCasePath.isEmpty()) {
        if (!a.district)
            a.district = district;
        velmora::calc::SaveCaseFile(a.saveCasePath, CaseOf(a, loaded, opened ? opened->bidCase : velmora::calc::BidCase{}));
    }

    CalcTable table;
    table.notes = loaded.notices;
    table.header = velmora::calc::ResultTableHeader();
    table.headNotes = velmora::calc::ResultTableNotes(driver.Results(), QDate::currentDate().year());
    table.rows = velmora::calc::ResultTableRows(driver.Results());
    table.places = velmora::calc::PlaceResults(driver.Results(), driver.JobSite());
    if (table.rows.isEmpty())
        table.notes.append(kNoSiteMessage);
    if (!caseChanges.isEmpty())
        table.notes.append(velmora::calc::CaseChangesHeading() + u'\n' + caseChanges.join(u'\n'));
    return table;
}

} // namespace

} // namespace velmora::tools
