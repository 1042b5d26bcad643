// velmora-calc as estimators and scripts run it: a separate process on the
// sample deployment, judged by its exit status, its table and its messages.

#include "data/CEnDecryption.h"
#include "geo/CCoordinatesConvert.h"
#include "support/DecimalCommaLocale.h"
#include "support/FolderSnapshot.h"
#include "support/PriceChanges.h"
#include "support/TempDeployment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

using velmora::test::FolderSnapshot;
using velmora::test::TempDeployment;

namespace {

// The grid's fifteen columns and where the transport distance came from.
constexpr int kColumns = 16;
enum Col { Position = 0, Name = 1, Straight = 2, Transport = 3, Confirmed = 4, Fee = 9, ConfirmedFee = 10,
           Cost = 11, Total = 12, Rank = 13 };

// A job site between Tsu and Suzuka with sites of every cost item within reach.
const QStringList kJobSite = {QStringLiteral("--x"), QStringLiteral("-120000"), QStringLiteral("--y"), QStringLiteral("20000")};

struct CalcRun
{
    int exitCode = -1;
    QByteArray out;
    QString err;

    // TSV lines split into cells; the header is line 0.
    QList<QStringList> table() const
    {
        QList<QStringList> lines;
        for (const QString& line : QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts))
            lines.append(line.split(u'\t'));
        return lines;
    }
};

CalcRun Calc(const QStringList& args, const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(environment);
    p.start(QStringLiteral(VELMORA_BIN_DIR) + QStringLiteral("/velmora-calc"), args);
    EXPECT_TRUE(p.waitForFinished(60000)) << "velmora-calc did not finish";
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            QString::fromUtf8(p.readAllStandardError())};
}

CalcRun CalcAt(const QStringList& extra)
{
    return Calc(kJobSite + extra);
}

void ExpectWellFormed(const CalcRun& run, int sortMode)
{
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QList<QStringList> lines = run.table();
    ASSERT_GE(lines.size(), 2) << "no result rows";
    EXPECT_EQ(lines.at(0).size(), kColumns);
    EXPECT_EQ(lines.at(0).at(Name), QStringLiteral("名称"));
    EXPECT_EQ(lines.at(0).at(14), QStringLiteral("運搬費が変更となる距離"));
    int previousTotal = 0;
    double previousDistance = 0;
    for (int i = 1; i < lines.size(); ++i) {
        const QStringList& row = lines.at(i);
        ASSERT_EQ(row.size(), kColumns) << i;
        EXPECT_EQ(row.at(Position), QString::number(i));
        EXPECT_LE(row.at(Straight).toDouble(), 60.0);
        const int fee = row.at(ConfirmedFee).toInt();
        const int cost = row.at(Cost).toInt();
        if (row.at(Total).isEmpty()) {
            EXPECT_TRUE(row.at(Rank).isEmpty());
            EXPECT_TRUE(fee == 0 || cost == 0);
        } else {
            EXPECT_EQ(row.at(Total).toInt(), fee + cost);
        }
        if (sortMode == 0 && !row.at(Total).isEmpty()) {
            EXPECT_EQ(row.at(Rank), QString::number(i));
            EXPECT_GE(row.at(Total).toInt(), previousTotal);
            previousTotal = row.at(Total).toInt();
        }
        if (sortMode == 1) {
            EXPECT_GE(row.at(Confirmed).toDouble(), previousDistance);
            previousDistance = row.at(Confirmed).toDouble();
        }
    }
}

TEST(VelmoraCalc, RanksEveryDistrictInBothMethods)
{
    for (int district = 0; district < 10; ++district) {
        const QString d = QString::number(district);
        ExpectWellFormed(CalcAt({QStringLiteral("--district"), d}), 0);
        ExpectWellFormed(CalcAt({QStringLiteral("--district"), d, QStringLiteral("--method"), QStringLiteral("labour"),
                                 QStringLiteral("--sort"), QStringLiteral("distance")}),
                         1);
        if (HasFailure())
            return;
    }
}

TEST(VelmoraCalc, EveryTransportTypeOfThePackageMethodFindsItsGroup)
{
    for (const auto& [costItem, types] : {std::pair{0, 2}, {1, 2}, {2, 4}}) {
        for (int type = 0; type < types; ++type) {
            const CalcRun run = CalcAt({QStringLiteral("--cost-item"), QString::number(costItem), QStringLiteral("--transport-type"),
                                    QString::number(type), QStringLiteral("--did")});
            ExpectWellFormed(run, 0);
        }
    }
    ExpectWellFormed(CalcAt({QStringLiteral("--transport-type"), QStringLiteral("1"), QStringLiteral("--dump-truck"),
                             QStringLiteral("lend")}),
                     0);
}

TEST(VelmoraCalc, DistrictChangesOnlyTheTransportCost)
{
    const QList<QStringList> a = CalcAt({QStringLiteral("--district"), QStringLiteral("0"), QStringLiteral("--sort"),
                                         QStringLiteral("distance")}).table();
    const QList<QStringList> b = CalcAt({QStringLiteral("--district"), QStringLiteral("9"), QStringLiteral("--sort"),
                                         QStringLiteral("distance")}).table();
    ASSERT_EQ(a.size(), b.size());
    bool costDiffers = false;
    for (int i = 1; i < a.size(); ++i) {
        EXPECT_EQ(a.at(i).at(Name), b.at(i).at(Name));
        EXPECT_EQ(a.at(i).at(Fee), b.at(i).at(Fee));
        costDiffers = costDiffers || a.at(i).at(Cost) != b.at(i).at(Cost);
    }
    EXPECT_TRUE(costDiffers) << "district prices have no effect";
}

TEST(VelmoraCalc, TypedDistanceRecalculatesThatRow)
{
    for (const QString& method : {QStringLiteral("package"), QStringLiteral("labour")}) {
        const QStringList base = {QStringLiteral("--method"), method};
        const QList<QStringList> before = CalcAt(base).table();
        ASSERT_GE(before.size(), 3);
        const QString name = before.at(1).at(Name);

        // Typing the straight distance back changes nothing but that cell.
        const QString same = name + u'=' + before.at(1).at(Straight);
        const QList<QStringList> echoed = CalcAt(base + QStringList{QStringLiteral("--distance"), same}).table();
        ASSERT_EQ(echoed.size(), before.size());
        for (int i = 1; i < before.size(); ++i) {
            QStringList expected = before.at(i);
            if (i == 1) {
                expected[Transport] = before.at(1).at(Straight);
                // The last column says the distance was typed.
                expected[kColumns - 1] = QStringLiteral("手入力");
            }
            EXPECT_EQ(echoed.at(i), expected) << method.toStdString() << " row " << i;
        }

        // 59 km lies in the last band: the cost rises and the row drops.
        const QList<QStringList> far = CalcAt(base + QStringList{QStringLiteral("--distance"), name + QStringLiteral("=59")}).table();
        ASSERT_EQ(far.size(), before.size());
        int found = 0;
        for (int i = 1; i < far.size(); ++i) {
            if (far.at(i).at(Name) != name)
                continue;
            found = i;
            EXPECT_EQ(far.at(i).at(Transport), QStringLiteral("59"));
            EXPECT_EQ(far.at(i).at(Confirmed), QStringLiteral("59"));
            EXPECT_EQ(far.at(i).at(Straight), before.at(1).at(Straight));
            EXPECT_GT(far.at(i).at(Cost).toInt(), before.at(1).at(Cost).toInt());
        }
        EXPECT_GT(found, 1) << method.toStdString();
    }
}

TEST(VelmoraCalc, TypedFeeReplacesTheRegisteredOne)
{
    const QList<QStringList> before = CalcAt({}).table();
    ASSERT_GE(before.size(), 3);
    const QString second = before.at(2).at(Name);
    const QList<QStringList> after = CalcAt({QStringLiteral("--fee"), second + QStringLiteral("=100")}).table();
    ASSERT_GE(after.size(), 2);
    EXPECT_EQ(after.at(1).at(Name), second);
    EXPECT_EQ(after.at(1).at(Fee), QStringLiteral("100"));
    EXPECT_EQ(after.at(1).at(ConfirmedFee), QStringLiteral("100"));
    EXPECT_EQ(after.at(1).at(Total), QString::number(100 + after.at(1).at(Cost).toInt()));
    EXPECT_EQ(after.at(1).at(Rank), QStringLiteral("1"));
    // A later fee of 0 means no typed fee: the registered one is back.
    const QList<QStringList> reset =
        CalcAt({QStringLiteral("--fee"), second + QStringLiteral("=100"), QStringLiteral("--fee"), second + QStringLiteral("=0")}).table();
    EXPECT_EQ(reset, before);
}

// A case saved with its typed values opens to the same table, and a
// case the deployment cannot reproduce is refused with its reason.
TEST(VelmoraCalc, SavedCaseOpensToTheSameTable)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QList<QStringList> first = CalcAt({}).table();
    ASSERT_GE(first.size(), 4);
    const QString saved = dir.filePath(QStringLiteral("case.json"));
    const QStringList edits = {QStringLiteral("--method"), QStringLiteral("labour"), QStringLiteral("--sort"),
                               QStringLiteral("distance"), QStringLiteral("--distance"), first.at(2).at(Name) + QStringLiteral("=33.3"),
                               QStringLiteral("--fee"), first.at(3).at(Name) + QStringLiteral("=1234")};
    const CalcRun made = CalcAt(edits + QStringList{QStringLiteral("--save-case"), saved});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();

    const QString again = dir.filePath(QStringLiteral("again.json"));
    const CalcRun reopened = Calc({QStringLiteral("--case"), saved, QStringLiteral("--save-case"), again});
    ASSERT_EQ(reopened.exitCode, 0) << reopened.err.toStdString();
    EXPECT_EQ(reopened.out, made.out);
    QFile a(saved), b(again);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());

    // The conditions come from the file only.
    EXPECT_EQ(Calc({QStringLiteral("--case"), saved, QStringLiteral("--x"), QStringLiteral("1")}).exitCode, 2);
    QFile other(dir.filePath(QStringLiteral("other.json")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write(R"({"format": "velmora-case", "version": 9})");
    other.close();
    const CalcRun newer = Calc({QStringLiteral("--case"), other.fileName()});
    EXPECT_EQ(newer.exitCode, 1);
    EXPECT_TRUE(newer.err.contains(QStringLiteral("新しい版（9）"))) << newer.err.toStdString();

    // Without a job site the window refuses the case; so does the calculator, in its words.
    const QString plain = dir.filePath(QStringLiteral("plain.json"));
    ASSERT_EQ(CalcAt({QStringLiteral("--save-case"), plain}).exitCode, 0);
    QFile site(plain);
    ASSERT_TRUE(site.open(QIODevice::ReadWrite));
    QJsonObject root = QJsonDocument::fromJson(site.readAll()).object();
    const QList<std::pair<QStringList, QString>> sites = {
        {{QStringLiteral("0"), QStringLiteral("20000")}, QStringLiteral("案件ファイルの現場X座標が 0 です。")},
        {{QStringLiteral("-120000"), QStringLiteral("abc")}, QStringLiteral("案件ファイルの現場Y座標「abc」は数値ではありません。")},
    };
    for (const auto& [xy, reason] : sites) {
        root.insert(QStringLiteral("jobSite"), QJsonObject{{QStringLiteral("x"), xy[0]}, {QStringLiteral("y"), xy[1]}});
        site.resize(0);
        site.write(QJsonDocument(root).toJson());
        site.flush();
        const CalcRun refused = Calc({QStringLiteral("--case"), plain});
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_TRUE(refused.out.isEmpty());
        EXPECT_TRUE(refused.err.contains(QStringLiteral("案件ファイルを開けません。\n%1\n\n").arg(QDir::toNativeSeparators(plain)) + reason))
            << refused.err.toStdString();
    }
}

// A case reopened after the tables changed is calculated as they are now and
// says, site by site, what moved: a fee, a wage, a band price and a site's
// coordinates changed one at a time.
TEST(VelmoraCalc, ReopenedCaseNamesWhatChangedSinceItWasSaved)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString saved = dir.filePath(QStringLiteral("case.json"));
    const CalcRun made = CalcAt({QStringLiteral("--save-case"), saved});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    const QStringList first = made.table().at(1);
    const QString name = first.at(Name);
    const QString fee = first.at(ConfirmedFee);

    // Each change applied to a fresh copy of the sample deployment.
    TempDeployment sample;
    sample.copySampleDeployment();
    for (const auto& [change, told] : velmora::test::PriceChangesAround(sample, name, fee, first.at(Cost))) {
        TempDeployment deployment;
        deployment.copySampleDeployment();
        change(deployment);
        const CalcRun now = Calc({QStringLiteral("--case"), saved, QStringLiteral("--deploy"), deployment.exeDir()});
        ASSERT_EQ(now.exitCode, 0) << now.err.toStdString();
        // The table as calculated now, the same as without the case.
        EXPECT_EQ(now.out, Calc(kJobSite + QStringList{QStringLiteral("--deploy"), deployment.exeDir()}).out);
        if (told.isEmpty()) {
            EXPECT_FALSE(now.err.contains(QStringLiteral("前回保存時"))) << now.err.toStdString();
            continue;
        }
        EXPECT_TRUE(now.err.contains(QStringLiteral("前回保存時から単価が変わっています"))) << now.err.toStdString();
        EXPECT_TRUE(now.err.contains(told)) << told.toStdString() << "\n" << now.err.toStdString();
        EXPECT_TRUE(now.err.contains(u'→'));
    }
}

TEST(VelmoraCalc, CsvHasMarkCrLfAndQuotesCells)
{
    TempDeployment deployment;
    deployment.copySampleDeployment();
    // A site name with quotes, which CSV must double inside a quoted cell.
    const QByteArray scrambled = deployment.readBytes(QStringLiteral("dat/ET19.dat"));
    QByteArray plain = CEnDecryption::Transform(scrambled);
    QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(plain.constData()), plain.size() / 2);
    ASSERT_TRUE(text.contains(QStringLiteral("翠嶺再生工業(株)多度工場")));
    text.replace(QStringLiteral("翠嶺再生工業(株)多度工場"), QStringLiteral("翠嶺\"再生\"工業(株)多度工場"));
    deployment.writeScrambled(QStringLiteral("ET19.dat"), text);

    const CalcRun run = CalcAt({QStringLiteral("--deploy"), deployment.exeDir(), QStringLiteral("--format"), QStringLiteral("csv")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    ASSERT_TRUE(run.out.startsWith("\xEF\xBB\xBF"));
    const QString csv = QString::fromUtf8(run.out.mid(3));
    EXPECT_TRUE(csv.startsWith(QStringLiteral("No.,名称,直接参考距離,")));
    EXPECT_TRUE(csv.contains(QStringLiteral(",\"翠嶺\"\"再生\"\"工業(株)多度工場\",")));
    EXPECT_TRUE(csv.endsWith(QStringLiteral("\r\n")));
    EXPECT_EQ(csv.count(QStringLiteral("\r\n")), csv.count(u'\n'));

    // The same rows as the TSV, cell for cell.
    const QList<QStringList> tsv =
        CalcAt({QStringLiteral("--deploy"), deployment.exeDir()}).table();
    EXPECT_EQ(csv.count(QStringLiteral("\r\n")), tsv.size());
}

TEST(VelmoraCalc, DeploymentIsNeverTouched)
{
    const QString sample = TempDeployment::sampleDeploymentDir();
    const auto before = FolderSnapshot(sample + QStringLiteral("/dat"));
    ASSERT_FALSE(before.isEmpty());
    ASSERT_EQ(CalcAt({}).exitCode, 0);
    ASSERT_EQ(CalcAt({QStringLiteral("--method"), QStringLiteral("labour")}).exitCode, 0);
    EXPECT_EQ(FolderSnapshot(sample + QStringLiteral("/dat")), before);

    TempDeployment copy;
    copy.copySampleDeployment();
    const auto copyBefore = FolderSnapshot(copy.exeDir());
    ASSERT_EQ(CalcAt({QStringLiteral("--deploy"), copy.exeDir()}).exitCode, 0);
    EXPECT_EQ(FolderSnapshot(copy.exeDir()), copyBefore);
}

TEST(VelmoraCalc, BadArgumentsExitTwoNamingTheArgument)
{
    const struct
    {
        QStringList args;
        QString named;
    } cases[] = {
        {{QStringLiteral("--bogus")}, QStringLiteral("--bogus")},
        {{QStringLiteral("--district"), QStringLiteral("10")}, QStringLiteral("--district")},
        {{QStringLiteral("--district"), QStringLiteral("x")}, QStringLiteral("--district")},
        {{QStringLiteral("--cost-item"), QStringLiteral("3")}, QStringLiteral("--cost-item")},
        {{QStringLiteral("--transport-type"), QStringLiteral("2")}, QStringLiteral("--transport-type")},
        {{QStringLiteral("--loading"), QStringLiteral("-1")}, QStringLiteral("--loading")},
        {{QStringLiteral("--method"), QStringLiteral("labour"), QStringLiteral("--debris-work"), QStringLiteral("0")},
         QStringLiteral("--debris-work")},
        {{QStringLiteral("--method"), QStringLiteral("bugakari")}, QStringLiteral("--method")},
        {{QStringLiteral("--format"), QStringLiteral("xlsx")}, QStringLiteral("--format")},
        {{QStringLiteral("--distance"), QStringLiteral("どこにもない処分場=10")}, QStringLiteral("--distance")},
        {{QStringLiteral("--distance"), QStringLiteral("no-value")}, QStringLiteral("--distance")},
        {{QStringLiteral("--fee"), QStringLiteral("x=1.5")}, QStringLiteral("--fee")},
        {{QStringLiteral("--deploy"), QStringLiteral("/nonexistent/velmora")}, QStringLiteral("--deploy")},
        {{QStringLiteral("--sort")}, QStringLiteral("--sort")},
    };
    for (const auto& c : cases) {
        const CalcRun run = CalcAt(c.args);
        EXPECT_EQ(run.exitCode, 2) << c.args.join(u' ').toStdString();
        EXPECT_TRUE(run.err.contains(c.named)) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }

    // The job site: both coordinates, both non-zero, as the window's button.
    EXPECT_EQ(Calc({QStringLiteral("--x"), QStringLiteral("-120000")}).exitCode, 2);
    EXPECT_EQ(Calc({QStringLiteral("--x"), QStringLiteral("0"), QStringLiteral("--y"), QStringLiteral("5")}).exitCode, 2);
    EXPECT_EQ(Calc({QStringLiteral("--x"), QStringLiteral("1e"), QStringLiteral("--y"), QStringLiteral("5")}).exitCode, 2);
}

TEST(VelmoraCalc, DistanceLimitsOfTheGrid)
{
    const QString name = CalcAt({}).table().at(1).at(Name);
    const CalcRun over = CalcAt({QStringLiteral("--distance"), name + QStringLiteral("=1000.5")});
    EXPECT_EQ(over.exitCode, 2);
    EXPECT_TRUE(over.err.contains(QStringLiteral("運搬距離は0km以上1000km以下を入力してください。")));
    EXPECT_EQ(CalcAt({QStringLiteral("--distance"), name + QStringLiteral("=-1")}).exitCode, 2);
    // Beyond 60 km the distance is kept and the site listed last, unranked,
    // by amount; the ranks of the others close up.
    const CalcRun far = CalcAt({QStringLiteral("--sort"), QStringLiteral("amount"), QStringLiteral("--distance"), name + QStringLiteral("=60.5")});
    ExpectWellFormed(far, 0);
    const QStringList last = far.table().constLast();
    EXPECT_EQ(last.at(Name), name);
    EXPECT_EQ(last.at(Transport), QStringLiteral("60.5"));
    EXPECT_EQ(last.at(Rank), QString());
    EXPECT_EQ(last.at(14), QStringLiteral("上限値を超えています"));
    EXPECT_EQ(CalcAt({QStringLiteral("--distance"), name + QStringLiteral("=60")}).exitCode, 0);
    EXPECT_EQ(CalcAt({QStringLiteral("--distance=") + name + QStringLiteral("=0")}).exitCode, 0);
}

// 300 m north of a registered site (X -110853.0): the straight distance is
// 3 × 0.1 = 0.30000000000000004 km, shown as 0.3, and both methods price it in
// the band that ends at 0.3. A typed distance one bit above 60 is shown as 60.
TEST(VelmoraCalc, DistancesArePricedAsShown)
{
    const QString site = QStringLiteral("青嵐エコマテリアル(株)霞事業所");
    const QStringList at = {QStringLiteral("--x"), QStringLiteral("-110553"), QStringLiteral("--y"), QStringLiteral("59880.2")};
    for (const QStringList& method : {QStringList{}, QStringList{QStringLiteral("--method"), QStringLiteral("labour")}}) {
        const CalcRun run = Calc(at + method);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QList<QStringList> lines = run.table();
        const auto row = std::find_if(lines.begin(), lines.end(), [&](const QStringList& r) { return r.at(Name) == site; });
        ASSERT_NE(row, lines.end());
        EXPECT_EQ(row->at(Straight), QStringLiteral("0.3"));
        EXPECT_EQ(row->at(14), QStringLiteral("0.3km以下")) << method.join(u' ').toStdString();
        EXPECT_FALSE(row->at(Total).isEmpty());

        const CalcRun typed = Calc(at + method + QStringList{QStringLiteral("--distance"), site + QStringLiteral("=60.00000000000001")});
        ASSERT_EQ(typed.exitCode, 0) << typed.err.toStdString();
        const QList<QStringList> typedLines = typed.table();
        const auto far = std::find_if(typedLines.begin(), typedLines.end(), [&](const QStringList& r) { return r.at(Name) == site; });
        ASSERT_NE(far, typedLines.end());
        EXPECT_EQ(far->at(Confirmed), QStringLiteral("60"));
        EXPECT_NE(far->at(Cost), QStringLiteral("0"));
        EXPECT_TRUE(far->at(14).startsWith(QStringLiteral("60"))) << far->at(14).toStdString();
    }
}

TEST(VelmoraCalc, DesktopLocaleWithDecimalCommaGivesTheSameTable)
{
    const std::string locale = velmora::test::DecimalCommaLocale();
    if (locale.empty())
        GTEST_SKIP() << "no decimal-comma locale installed (scripts/install-deps generates de_DE.UTF-8)";
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QString::fromStdString(locale));
    for (const QStringList& method : {QStringList{}, QStringList{QStringLiteral("--method"), QStringLiteral("labour")}}) {
        const QStringList args = kJobSite + method + QStringList{QStringLiteral("--distance"), QStringLiteral("松風テクノ再生(株)亀山工場=21.45")};
        const CalcRun plain = Calc(args);
        const CalcRun comma = Calc(args, environment);
        ASSERT_EQ(comma.exitCode, 0) << comma.err.toStdString();
        EXPECT_EQ(comma.out, plain.out);
        EXPECT_TRUE(comma.out.contains("\t21.45\t")) << comma.out.toStdString();
    }
}

// A fee that is no whole number, a site without its coordinate line, an empty
// coordinate line and a copy of the site table saved beside it: the window's
// start-up note goes to stderr, and every other site is calculated as before.
TEST(VelmoraCalc, DamagedSiteLinesAndCopiesAreToldAndTheRestIsCalculated)
{
    const QStringList at = {QStringLiteral("--cost-item"), QStringLiteral("1"), QStringLiteral("--x"), QStringLiteral("-110553"),
                            QStringLiteral("--y"), QStringLiteral("59880.2")};
    const QString s04 = QStringLiteral("白鷺資源化センター(株)東員工場");
    const QString s05 = QStringLiteral("青嵐エコマテリアル(株)霞事業所");
    TempDeployment deployment;
    deployment.copySampleDeployment();
    QStringList sites = deployment.readScrambled(QStringLiteral("ET19.dat")).split(QStringLiteral("\r\n"));
    QStringList copy = sites;
    int feeLine = 0;
    for (int i = 0; i < sites.size(); ++i) {
        if (sites[i].contains(QStringLiteral(",S05,鉄筋"))) {
            sites[i].replace(QStringLiteral(",4300,"), QStringLiteral(",4300円,"));
            feeLine = i + 1;
        }
        copy[i].replace(QStringLiteral(",3200,m3,"), QStringLiteral(",1,m3,")); // S05, plain concrete
    }
    ASSERT_GT(feeLine, 0);
    deployment.writeScrambled(QStringLiteral("ET19 - コピー.dat"), copy.join(QStringLiteral("\r\n")));
    deployment.writeScrambled(QStringLiteral("ET19.dat"), sites.join(QStringLiteral("\r\n")));
    QStringList coordinates = deployment.readScrambled(QStringLiteral("EC01.dat")).split(QStringLiteral("\r\n"));
    coordinates.removeIf([](const QString& line) { return line.contains(QStringLiteral(",S04,")); });
    coordinates.insert(1, QString());
    deployment.writeScrambled(QStringLiteral("EC01.dat"), coordinates.join(QStringLiteral("\r\n")));

    const CalcRun sample = Calc(at);
    const CalcRun run = Calc(at + QStringList{QStringLiteral("--deploy"), deployment.exeDir()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("ET19.dat の %1 行目「4300円」: 処分費が数値ではありません。処分場 S05「%2」 は計算から外しました。")
                                     .arg(feeLine)
                                     .arg(s05)))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("EC01.dat「S04」: 処分場「%1」の座標の行がありません").arg(s04)));
    EXPECT_TRUE(run.err.contains(QStringLiteral("データフォルダに ET19 のファイルが 2 つあります。ET19.dat を使い、ET19 - コピー.dat は読みません。")));

    // Only S04 is gone; S05 is still a plain-concrete site at its own fee.
    QList<QStringList> expected = sample.table();
    expected.removeIf([&](const QStringList& row) { return row.at(Name) == s04; });
    QList<QStringList> own = run.table();
    ASSERT_EQ(own.size(), expected.size());
    for (int i = 1; i < own.size(); ++i) {
        EXPECT_EQ(own[i].at(Name), expected[i].at(Name));
        EXPECT_EQ(own[i].at(ConfirmedFee), expected[i].at(ConfirmedFee));
    }
}

// Copies an office leaves beside its tables, each with other figures, are
// never read in their place: both methods give the figures of the tables
// alone, and every copy is named as not read.
TEST(VelmoraCalc, CopiesBesideTheTablesChangeNoFigure)
{
    TempDeployment deployment;
    deployment.copySampleDeployment();
    const QStringList patterns = {QStringLiteral("bak_%1.dat"), QStringLiteral("%1 - コピー.dat"), QStringLiteral("Copy of %1.dat"),
                                  QStringLiteral("2024_%1.dat"), QStringLiteral("%1.dat.bak")};
    QStringList copies;
    for (const QString& key : CEnDecryption::ScrambledKeys()) {
        for (const QString& pattern : patterns) {
            copies.append(pattern.arg(key));
            deployment.writeScrambled(copies.last(), QStringLiteral("見出し\r\n1,S01,9,9\r\n"));
        }
    }
    for (const QString& method : {QStringLiteral("package"), QStringLiteral("labour")}) {
        const CalcRun alone = CalcAt({QStringLiteral("--method"), method});
        const CalcRun run = CalcAt({QStringLiteral("--method"), method, QStringLiteral("--deploy"), deployment.exeDir()});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.out, alone.out) << method.toStdString();
        for (const QString& key : CEnDecryption::ScrambledKeys())
            EXPECT_TRUE(run.err.contains(QStringLiteral("データフォルダに %1 のファイルが 6 つあります。%1.dat を使い、").arg(key)))
                << run.err.toStdString();
        for (const QString& copy : copies)
            EXPECT_TRUE(run.err.contains(copy)) << copy.toStdString();
    }
}

TEST(VelmoraCalc, HelpAndEmptyResult)
{
    const CalcRun help = Calc({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--distance NAME=KM"));

    // Far out at sea: the header alone, and the window's message on stderr.
    const CalcRun none = Calc({QStringLiteral("--x"), QStringLiteral("-400000"), QStringLiteral("--y"), QStringLiteral("20000")});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_EQ(none.table().size(), 1);
    EXPECT_TRUE(none.err.contains(QStringLiteral("60km以内に登録された処分場が見つかりませんでした。")));
}

TEST(VelmoraCalc, GivenDeploymentSuppliesEveryTable)
{
    // The dump-truck quantities are read when the labour-rate conditions are
    // set, after loading: they too must come from the given deployment.
    TempDeployment deployment;
    deployment.copySampleDeployment();
    deployment.writeIni(QStringLiteral("dat/DTTankaSuryo.ini"),
                        QStringLiteral("[ﾀﾞﾝﾌﾟﾄﾗｯｸ10t数量]\n3\n55\n1.13\n1.13\n"
                                       "[ﾀﾞﾝﾌﾟﾄﾗｯｸ4t数量]\n3\n31\n1.13\n1.13\n"
                                       "[ﾀﾞﾝﾌﾟﾄﾗｯｸ2t数量]\n3\n18\n1.13\n1.13\n"
                                       "[ﾀﾞﾝﾌﾟﾄﾗｯｸ10t(路面切削)]\n3\n48\n1.13\n1.13\n"),
                        velmora::data::IniEncoding::Utf8Bom);
    const QStringList labour = {QStringLiteral("--method"), QStringLiteral("labour"), QStringLiteral("--sort"),
                                QStringLiteral("distance")};
    const QList<QStringList> sample = CalcAt(labour).table();
    const CalcRun run = CalcAt(labour + QStringList{QStringLiteral("--deploy"), deployment.exeDir()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QList<QStringList> own = run.table();
    ASSERT_EQ(own.size(), sample.size());
    ASSERT_GE(own.size(), 2);
    // Three drivers a day instead of one: every cost rises.
    EXPECT_GT(own.at(1).at(Cost).toInt(), sample.at(1).at(Cost).toInt());
}

TEST(VelmoraCalc, BrokenDataExitsOne)
{
    TempDeployment deployment;
    deployment.copySampleDeployment();
    // Renamed by hand: the copy is never read in the table's place.
    QFile::rename(deployment.dataDir() + QStringLiteral("ET02.dat"), deployment.dataDir() + QStringLiteral("bak_ET02.dat"));
    const CalcRun run = CalcAt({QStringLiteral("--deploy"), deployment.exeDir()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("データファイル ET02 がありません。"))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("bak_ET02.dat は名前が ET02 で始まらないため読みません。"))) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
}

// The README's example with a typed distance, as a map file: every point where
// the program's own conversion puts it, every row the TSV row.
TEST(VelmoraCalc, GeoJsonHoldsTheTableRowsWhereTheSitesLie)
{
    const QStringList args = {QStringLiteral("--x"), QStringLiteral("-142037"), QStringLiteral("--y"), QStringLiteral("46308"),
                              QStringLiteral("--district"), QStringLiteral("3"), QStringLiteral("--distance"),
                              QStringLiteral("萌黄リサイクルプラント(株)高茶屋工場=7.2")};
    const QList<QStringList> tsv = Calc(args).table();
    const CalcRun run = Calc(args + QStringList{QStringLiteral("--format"), QStringLiteral("geojson")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QJsonParseError error;
    const QJsonObject collection = QJsonDocument::fromJson(run.out, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    EXPECT_EQ(collection.value(QStringLiteral("type")).toString(), QStringLiteral("FeatureCollection"));
    EXPECT_FALSE(collection.contains(QStringLiteral("crs"))); // RFC 7946 has none
    const QJsonArray features = collection.value(QStringLiteral("features")).toArray();
    ASSERT_GE(tsv.size(), 3);
    ASSERT_EQ(features.size(), tsv.size()); // job site + one per row

    const auto expectAt = [](const QJsonObject& feature, double x, double y) {
        const QJsonObject geometry = feature.value(QStringLiteral("geometry")).toObject();
        EXPECT_EQ(geometry.value(QStringLiteral("type")).toString(), QStringLiteral("Point"));
        const QJsonArray at = geometry.value(QStringLiteral("coordinates")).toArray();
        ASSERT_EQ(at.size(), 2);
        double latitude = 0;
        double longitude = 0;
        CCoordinatesConvert().PlaneToLatLon(x, y, latitude, longitude);
        EXPECT_NEAR(at.at(0).toDouble(), longitude, 1e-9); // longitude first
        EXPECT_NEAR(at.at(1).toDouble(), latitude, 1e-9);
    };
    const QJsonObject job = features.at(0).toObject();
    EXPECT_EQ(job.value(QStringLiteral("properties")).toObject().value(QStringLiteral("種別")).toString(), QStringLiteral("工事現場"));
    expectAt(job, -142037, 46308);

    const QStringList header = tsv.at(0);
    bool typedSeen = false;
    for (int i = 1; i < tsv.size(); ++i) {
        const QJsonObject properties = features.at(i).toObject().value(QStringLiteral("properties")).toObject();
        EXPECT_EQ(properties.value(QStringLiteral("種別")).toString(), QStringLiteral("処分場"));
        QStringList cells;
        for (const QString& name : header)
            cells.append(properties.value(name).toVariant().toString());
        EXPECT_EQ(cells, tsv.at(i)) << i;
        typedSeen = typedSeen || tsv.at(i).at(Transport) == QStringLiteral("7.2");
        // X and Y are the site's own: its straight-line distance from them.
        const double x = properties.value(QStringLiteral("X")).toDouble();
        const double y = properties.value(QStringLiteral("Y")).toDouble();
        EXPECT_NEAR(std::hypot(x + 142037, y - 46308) / 1000, tsv.at(i).at(Straight).toDouble(), 0.05 + 1e-9) << i;
        expectAt(features.at(i).toObject(), x, y);
    }
    EXPECT_TRUE(typedSeen);
}

} // namespace
