#include "CalcRun.h"

#include "calc/CDisplayCalcResultList.h"
#include "calc/COutputDataManager.h"
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
#include "data/NumberText.h"
#include "data/Paths.h"
#include "geo/CCoordinatesConvert.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

using velmora::data::Paths;

namespace velmora::tools {
namespace {

// The window fills these two lists once with a single fixed item each.
const QStringList kRefuseKinds = {QStringLiteral("ｺﾝｸﾘｰﾄ塊等の重量物")};
const QStringList kLoadClasses = {QStringLiteral("ｱｽﾌｧﾙﾄ塊")};

const QString kNoSiteMessage =
    QStringLiteral("60km以内に登録された処分場が見つかりませんでした。\n入力された座標を確認してください。");

// Every warning a reader raises while loading: the window would show it in a
// box and carry on with a gap in its tables, but a script must not get
// figures computed from half a deployment.
class CollectingNotifier final : public velmora::data::Notifier
{
public:
    CollectingNotifier() { m_previous = velmora::data::setNotifier(this); }
    ~CollectingNotifier() override { velmora::data::setNotifier(m_previous); }
    CollectingNotifier(const CollectingNotifier&) = delete;
    CollectingNotifier& operator=(const CollectingNotifier&) = delete;

    void warning(const QString& text, const QString&) override { warnings.append(text); }
    QStringList warnings;

private:
    velmora::data::Notifier* m_previous = nullptr;
};

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
};

Loaded Load(const QString& deployment)
{
    CollectingNotifier collected;
    Loaded loaded;
    loaded.copy = std::make_unique<velmora::data::DeploymentCopy>(deployment);
    const QStringList missing = velmora::data::MissingScrambledTables(loaded.copy->dataDirectory())
        + velmora::data::MissingShippedIniFiles(loaded.copy->dataDirectory());
    if (!missing.isEmpty())
        throw velmora::Error(velmora::data::MissingDataFileText(missing.first(), QDir(deployment).filePath(QStringLiteral("dat"))));
    loaded.driver = std::make_unique<COutputDataManager>();
    loaded.districts = velmora::data::LoadDistrictList();
    loaded.lists = std::make_unique<Lists>();
    loaded.copy->deleteWorkFiles();
    const QStringList problems = collected.warnings + velmora::data::takeDeferredWarnings();
    if (!problems.isEmpty())
        throw velmora::Error(problems.join(u'\n'));
    return loaded;
}

const QString& Pick(const QStringList& list, int index, const QString& option, const QString& what)
{
    if (list.isEmpty())
        throw ArgumentError(QStringLiteral("%1: この条件には%2の選択肢がありません。").arg(option, what));
    if (index < 0 || index >= list.size())
        throw ArgumentError(QStringLiteral("%1: %2 の番号 %3 はありません（0〜%4）。")
                                .arg(option, what)
                                .arg(index)
                                .arg(list.size() - 1));
    return list.at(index);
}

// The conditions of the construction-package method, in the order the
// window passes them: transport type first, DID text last.
QStringList PackageConditionTexts(const CalcArguments& a, const Lists& lists)
{
    const QStringList types = lists.spSyubetsu.Items(a.costItem);
    const QString type = Pick(types, a.transportType, QStringLiteral("--transport-type"), QStringLiteral("運搬種別"));
    const QStringList works = lists.spGaraHassei.Items(a.costItem);
    const QString work = Pick(works, a.debrisWork, QStringLiteral("--debris-work"), QStringLiteral("殻発生作業"));
    const QString loading = Pick(lists.spTsumikomi.Items(a.costItem, a.debrisWork), a.loading, QStringLiteral("--loading"),
                                 QStringLiteral("積込工法区分"));
    const QString refuse = Pick(kRefuseKinds, a.refuse, QStringLiteral("--refuse"), QStringLiteral("塵芥の種類"));
    const QString loadClass = Pick(kLoadClasses, a.loadClass, QStringLiteral("--load-class"), QStringLiteral("積載区分"));
    const QString did = a.did ? QStringLiteral("有り") : QStringLiteral("無し");
    switch (a.transportType) {
    case 0:
        return {type, work, loading, did};
    case 1:
        return {type, refuse, a.dumpTruckCarry ? QStringLiteral("持込") : QStringLiteral("貸与"), did};
    case 2:
        return {type, did};
    case 3:
        return {type, loadClass, did};
    default:
        // Priced with no group at all, or with one the conditions do not name.
        throw ArgumentError(QStringLiteral("--transport-type: ") + COutputDataManager::NoPackageConditionsText(type));
    }
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

} // namespace

CalcTable RunCalc(const CalcArguments& a)
{
    const QString deployment = DeploymentFolder(a);
    Loaded loaded = Load(deployment);
    COutputDataManager& driver = *loaded.driver;
    const Lists& lists = *loaded.lists;

    const int district = a.district
        ? a.district.value()
        : velmora::data::ChooseDistrictIndex(loaded.districts, velmora::data::ReadSavedDistrict(loaded.copy->deploymentDirectory()));
    if (a.district)
        Pick(loaded.districts, district, QStringLiteral("--district"), QStringLiteral("地区"));

    // The steps of the calculation button, in its order.
    if (a.method == CalcMethod::Package) {
        Pick(lists.spHimoku.Items(), a.costItem, QStringLiteral("--cost-item"), QStringLiteral("処分費目"));
        const QStringList texts = PackageConditionTexts(a, lists);
        driver.SelectRegister(a.costItem);
        driver.SetPackageConditions(texts);
        driver.SetPackageDistrict(district);
    } else {
        Pick(lists.himoku.Items(), a.costItem, QStringLiteral("--cost-item"), QStringLiteral("処分費目"));
        Pick(lists.syubetsu.Items(a.costItem), a.transportType, QStringLiteral("--transport-type"), QStringLiteral("運搬種別"));
        driver.SelectRegister(a.costItem);
        driver.SetLabourRateConditions(district, a.did, a.costItem, a.transportType);
    }
    double latitude = 0;
    double longitude = 0;
    CCoordinatesConvert().PlaneToLatLon(a.x, a.y, latitude, longitude);
    driver.SetJobSite(latitude, longitude, a.x, a.y);
    driver.SetSortMode(a.sortMode);
    driver.Calculate(true);

    for (const GridEdit& edit : a.edits)
        CommitGridEdit(driver, a.sortMode, edit);

    CalcTable table;
    table.header = velmora::calc::ResultTableHeader();
    table.rows = velmora::calc::ResultTableRows(driver.Results());
    if (table.rows.isEmpty())
        table.notes.append(kNoSiteMessage);
    return table;
}

} // namespace velmora::tools
