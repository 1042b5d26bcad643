// Case files in the window: saved, reopened here and in velmora-calc with
// the same table, refused when they cannot be reproduced, and the question
// before unsaved values are lost.

#include "app/MainWindowFixture.h"
#include "calc/CDisplayCalcResultList.h"
#include "calc/COutputDataManager.h"
#include "calc/CaseFile.h"
#include "platform/SaveFileDialog.h"
#include "support/PriceChanges.h"
#include "ui/ResultExport.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <algorithm>

using namespace velmora::test;
using velmora::platform::MessageAnswer;
using velmora::platform::SaveFileRequest;
using Source = CDisplayCalcResultData::DistanceSource;

namespace {

class CaseFileTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(folder.isValid());
    }

    // A calculated window with a typed distance, a fetched one and a typed
    // fee on rows 2, 3 and 4, and a fetched one beyond 60 km on row 5.
    TMainForm& startWithValues()
    {
        TMainForm& f = startShown();
        pick(f.ComboBoxArea, 1);
        calculateAt(tsuX(), tsuY());
        EXPECT_GT(f.StringGrid->RowCount(), 5);
        f.resultList->RowAt(2)->CommitTypedTransportDistance(21.7);
        fetchedSite = f.resultList->RowAt(3)->GetSiteName();
        f.resultList->RowAt(3)->SetTransportDistance(14.2, Source::RoutePage);
        f.resultList->RowAt(4)->SetManualFee(3210);
        farSite = f.resultList->RowAt(5)->GetSiteName();
        f.resultList->RowAt(5)->SetTransportDistance(61.5, Source::RoutePage, QDate(2026, 12, 9));
        f.ShowCalcResult(false);
        boxes.records.clear();
        return f;
    }

    QString path(const QString& name) const { return folder.filePath(name); }

    static QByteArray read(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir folder;
    QString fetchedSite;
    QString farSite;
};

TEST_F(CaseFileTest, WindowCalculatorAndWindowAgainShowTheSameTable)
{
    TMainForm& f = startWithValues();
    const QString table = f.resultExport->TableTsv();
    ASSERT_TRUE(f.SaveCaseTo(path(QStringLiteral("window.json"))));
    EXPECT_FALSE(f.HasUnsavedWork());

    QProcess calc;
    calc.start(QStringLiteral(VELMORA_BIN_DIR "/velmora-calc"),
               {QStringLiteral("--deploy"), deployment.exeDir(), QStringLiteral("--case"), path(QStringLiteral("window.json")),
                QStringLiteral("--save-case"), path(QStringLiteral("calc.json"))});
    ASSERT_TRUE(calc.waitForFinished(60000));
    ASSERT_EQ(calc.exitCode(), 0) << calc.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(calc.readAllStandardOutput()), table);
    // The site beyond 60 km by road: its distance, no total, no rank.
    const QStringList lines = table.split(u'\n');
    const auto farLine = std::find_if(lines.begin(), lines.end(), [this](const QString& line) {
        return line.contains(u'\t' + farSite + u'\t');
    });
    ASSERT_NE(farLine, lines.end());
    EXPECT_TRUE(farLine->contains(QStringLiteral("\t61.5\t61.5\t"))) << farLine->toStdString();
    EXPECT_TRUE(farLine->contains(QStringLiteral("\t0\t\t\t上限値を超えています\t"))) << farLine->toStdString();
    // Both write the same case, sources and measuring points included.
    EXPECT_EQ(read(path(QStringLiteral("calc.json"))), read(path(QStringLiteral("window.json"))));

    // A fresh window on another district and method opens it to the same table.
    TMainForm& g = startShown();
    QTest::mouseClick(g.RadioButtonBugakari, Qt::LeftButton);
    ASSERT_TRUE(g.OpenCaseFrom(path(QStringLiteral("calc.json"))));
    EXPECT_TRUE(boxes.records.empty()) << boxes.captions().join(u',').toStdString();
    EXPECT_EQ(g.resultExport->TableTsv(), table);
    EXPECT_EQ(g.ComboBoxArea->currentIndex(), 1);
    EXPECT_TRUE(g.RadioButtonSP->isChecked());
    EXPECT_EQ(g.ActivePage(), TMainForm::PageCalcResult);
    ASSERT_NE(g.resultList->FindByName(fetchedSite), nullptr);
    EXPECT_EQ(g.resultList->FindByName(fetchedSite)->GetDistanceSource(), Source::RoutePage);
    ASSERT_NE(g.resultList->FindByName(farSite), nullptr);
    EXPECT_EQ(g.resultList->FindByName(farSite)->GetTransportDistance(), 61.5);
    EXPECT_EQ(g.resultList->FindByName(farSite)->GetRank(), 0);
    EXPECT_EQ(g.resultList->FindByName(farSite)->GetDistanceReadOn(), QDate(2026, 12, 9));
    EXPECT_FALSE(g.HasUnsavedWork());

    // A labour-rate case made by the calculator, through a DID and by distance.
    QProcess labour;
    labour.start(QStringLiteral(VELMORA_BIN_DIR "/velmora-calc"),
                 {QStringLiteral("--deploy"), deployment.exeDir(), QStringLiteral("--x"), tsuX(), QStringLiteral("--y"), tsuY(),
                  QStringLiteral("--method"), QStringLiteral("labour"), QStringLiteral("--transport-type"), QStringLiteral("1"),
                  QStringLiteral("--did"), QStringLiteral("--sort"), QStringLiteral("distance"), QStringLiteral("--distance"),
                  fetchedSite + QStringLiteral("=33.3"), QStringLiteral("--save-case"), path(QStringLiteral("labour.json"))});
    ASSERT_TRUE(labour.waitForFinished(60000));
    ASSERT_EQ(labour.exitCode(), 0) << labour.readAllStandardError().toStdString();
    ASSERT_TRUE(g.OpenCaseFrom(path(QStringLiteral("labour.json"))));
    EXPECT_EQ(g.resultExport->TableTsv(), QString::fromUtf8(labour.readAllStandardOutput()));
    EXPECT_TRUE(g.RadioButtonBugakari->isChecked());
    EXPECT_TRUE(g.RadioButtonDIDTrue->isChecked());
    EXPECT_EQ(g.ComboBoxUnpanSyubetsu->currentIndex(), 1);
}

TEST_F(CaseFileTest, FilesThatCannotBeReproducedAreRefusedAndNothingChanges)
{
    TMainForm& f = startWithValues();
    ASSERT_TRUE(f.SaveCaseTo(path(QStringLiteral("good.json"))));
    const QString table = f.resultExport->TableTsv();
    const QString x = f.EditX->text();

    QByteArray gone = read(path(QStringLiteral("good.json")));
    const QString site = f.resultList->RowAt(2)->GetSiteName();
    gone.replace(site.toUtf8(), QStringLiteral("閉鎖した処分場").toUtf8());
    const QList<std::pair<QByteArray, QString>> files = {
        {QByteArray("X,Y\n1,2\n"), QStringLiteral("案件ファイルではありません")},
        {read(path(QStringLiteral("good.json"))).replace("\"version\": 2", "\"version\": 3"), QStringLiteral("新しい版（3）")},
        {gone, QStringLiteral("処分場「閉鎖した処分場」")},
        // Beyond the grid's limit, and a job site that is no number: named
        // in the estimator's words, before anything changes.
        {read(path(QStringLiteral("good.json"))).replace("\"manualFee\": 3210", "\"manualFee\": 2147483647"),
         QStringLiteral("の処分費手入力は0円以上99999999円以下")},
        {[&] {
             QJsonObject root = QJsonDocument::fromJson(read(path(QStringLiteral("good.json")))).object();
             root.insert(QStringLiteral("jobSite"), QJsonObject{{QStringLiteral("x"), QStringLiteral("abc")}, {QStringLiteral("y"), tsuY()}});
             return QJsonDocument(root).toJson();
         }(),
         QStringLiteral("現場X座標「abc」は数値ではありません")},
    };
    f.EditX->setText(QStringLiteral("-111111"));
    for (const auto& [bytes, reason] : files) {
        QFile out(path(QStringLiteral("bad.json")));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
        out.close();
        boxes.records.clear();
        EXPECT_FALSE(f.OpenCaseFrom(path(QStringLiteral("bad.json"))));
        ASSERT_EQ(boxes.records.size(), 1u);
        EXPECT_EQ(boxes.records[0].caption, QStringLiteral("案件を開く"));
        EXPECT_TRUE(boxes.records[0].text.contains(reason)) << boxes.records[0].text.toStdString();
        EXPECT_EQ(f.EditX->text(), QStringLiteral("-111111"));
        EXPECT_EQ(f.resultExport->TableTsv(), table);
    }
    EXPECT_NE(x, QStringLiteral("-111111"));
}

// What the table showed when the case was saved and shows now differ: the
// estimator is told site by site, and the evidence sheet says so too.
TEST_F(CaseFileTest, ReopenedCaseTellsWhatChangedSinceSaving)
{
    TMainForm& f = startWithValues();
    ASSERT_TRUE(f.SaveCaseTo(path(QStringLiteral("saved.json"))));
    ASSERT_TRUE(f.OpenCaseFrom(path(QStringLiteral("saved.json"))));
    EXPECT_TRUE(boxes.records.empty()) << boxes.captions().join(u',').toStdString();

    const CDisplayCalcResultData& top = *f.resultList->RowAt(1);
    const QString total = QString::number(top.GetTotal());
    QByteArray bytes = read(path(QStringLiteral("saved.json")));
    const QByteArray savedTotal = "\"total\": \"" + total.toUtf8() + "\"";
    ASSERT_TRUE(bytes.contains(savedTotal));
    bytes.replace(bytes.indexOf(savedTotal), savedTotal.size(), "\"total\": \"1\"");
    QFile out(path(QStringLiteral("older.json")));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();
    // The estimator reads what changed while the table opened before is still on show.
    boxes.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    calculateAt(QStringLiteral("-120000"), QStringLiteral("20000"));
    boxes.records.clear();
    const auto shown = [&f] {
        QStringList cells;
        for (int r = 1; r < f.StringGrid->RowCount(); ++r)
            cells.append(f.StringGrid->Cell(1, r) + u'\t' + f.StringGrid->Cell(velmora::ui::ResultGrid::DistanceColumn, r));
        return cells;
    };
    const QStringList before = shown();
    QStringList shownAtBox;
    boxes.onBox = [&](const auto&) { shownAtBox = shown(); };
    ASSERT_TRUE(f.OpenCaseFrom(path(QStringLiteral("older.json"))));
    // The typed fee went along to the other job site: losing it is asked first.
    ASSERT_EQ(boxes.records.size(), 2u);
    EXPECT_TRUE(boxes.records[1].text.startsWith(QStringLiteral("前回保存時から単価が変わっています")));
    EXPECT_TRUE(boxes.records[1].text.contains(QStringLiteral(" → %1円・").arg(total))) << boxes.records[1].text.toStdString();
    EXPECT_EQ(shownAtBox, before);
    EXPECT_NE(shown(), before);
    boxes.onBox = nullptr;
    const QString sheet = velmora::ui::EvidenceSheet(f.resultExport->SheetData()).Html();
    EXPECT_TRUE(sheet.contains(QStringLiteral("前回保存時から単価が変わっています")));
    // The road distance read from Google's route page carries its attribution.
    EXPECT_TRUE(sheet.contains(QStringLiteral("Powered by Google, ©"))) << sheet.toStdString();
    // A new calculation is no reopened case.
    calculateAt(tsuX(), tsuY());
    EXPECT_FALSE(velmora::ui::EvidenceSheet(f.resultExport->SheetData()).Html().contains(QStringLiteral("前回保存時")));
}

// The tables changed one at a time under a saved case: opening it again
// names each change, as velmora-calc does.
TEST_F(CaseFileTest, EachKindOfPriceChangeIsNamedWhenTheCaseIsOpened)
{
    TMainForm& saving = startShown();
    calculateAt(QStringLiteral("-120000"), QStringLiteral("20000"));
    ASSERT_TRUE(saving.SaveCaseTo(path(QStringLiteral("saved.json"))));
    const CDisplayCalcResultData& top = *saving.resultList->RowAt(1);
    const QString name = top.GetSiteName();
    const auto changes =
        PriceChangesAround(deployment, name, QString::number(top.GetConfirmedFee()), QString::number(top.GetTransportCost()));
    for (const auto& [change, told] : changes) {
        deployment.copySampleDeployment();
        change(deployment);
        TMainForm& f = startShown();
        boxes.records.clear();
        ASSERT_TRUE(f.OpenCaseFrom(path(QStringLiteral("saved.json"))));
        if (told.isEmpty()) {
            EXPECT_TRUE(boxes.records.empty()) << boxes.captions().join(u',').toStdString();
            continue;
        }
        ASSERT_EQ(boxes.records.size(), 1u);
        EXPECT_TRUE(boxes.records[0].text.contains(told)) << told.toStdString() << "\n" << boxes.records[0].text.toStdString();
    }
}

// One rule for every new calculation: the same job site keeps the values;
// another job site or cost item asks before dropping any, いいえ keeps the
// table; a typed fee stays with its site at another job site.
TEST_F(CaseFileTest, NewCalculationKeepsOrAsksBeforeDroppingValues)
{
    TMainForm& f = startWithValues();
    QString feeSite;
    for (int n = 1; n <= f.resultList->Count(); ++n)
        if (f.resultList->RowAt(n)->GetManualFee() != 0)
            feeSite = f.resultList->RowAt(n)->GetSiteName();
    const auto typedFeeOf = [&f](const QString& site) {
        for (int n = 1; n <= f.resultList->Count(); ++n)
            if (f.resultList->RowAt(n)->GetSiteName() == site)
                return f.resultList->RowAt(n)->GetManualFee();
        return -1;
    };
    const auto distances = [&f] {
        int n = 0;
        for (int r = 1; r <= f.resultList->Count(); ++r)
            n += f.resultList->RowAt(r)->GetDistanceSource() != Source::None;
        return n;
    };
    calculateAt(tsuX(), tsuY());
    EXPECT_TRUE(boxes.records.empty());
    EXPECT_EQ(distances(), 3);

    // 300 m away, いいえ: nothing calculated, the table as it was.
    calculateAt(tsuX(), QStringLiteral("57300"));
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].caption, QStringLiteral("計算実行"));
    EXPECT_TRUE(boxes.records[0].text.contains(QStringLiteral("運搬距離 3 件"))) << boxes.records[0].text.toStdString();
    EXPECT_FALSE(boxes.records[0].text.contains(QStringLiteral("処分費手入力")));
    EXPECT_EQ(distances(), 3);
    EXPECT_EQ(f.driver->JobSite().GetYText(), tsuY());

    boxes.answers.push_back(MessageAnswer::Yes);
    calculateAt(tsuX(), QStringLiteral("57300"));
    EXPECT_EQ(distances(), 0);
    EXPECT_EQ(typedFeeOf(feeSite), 3210);

    // Another cost item would take the typed fee with it: asked, いいえ keeps it.
    boxes.records.clear();
    pick(f.ComboBoxSyobunHimoku, 1);
    calculateAt(tsuX(), QStringLiteral("57300"));
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_TRUE(boxes.records[0].text.contains(QStringLiteral("処分費手入力 1 件"))) << boxes.records[0].text.toStdString();
    EXPECT_EQ(typedFeeOf(feeSite), 3210);
}

TEST_F(CaseFileTest, ClosingWithUnsavedValuesAsksOnceAndCanSave)
{
    TMainForm& f = startWithValues();
    EXPECT_TRUE(f.HasUnsavedWork());
    // One question; キャンセル, the default, keeps the window.
    EXPECT_FALSE(f.FormCloseQuery());
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].buttons, velmora::platform::MessageButtons::SaveDiscardCancel);
    EXPECT_TRUE(boxes.records[0].text.endsWith(QStringLiteral("Velmoraを終了しますか？")));
    boxes.answers = {MessageAnswer::Discard};
    EXPECT_TRUE(f.FormCloseQuery());
    EXPECT_TRUE(f.HasUnsavedWork());

    // 保存して終了 saves first.
    const auto previous = velmora::platform::SetSaveFileHook(
        [this](const SaveFileRequest&) { return path(QStringLiteral("saved.json")); });
    boxes.answers = {MessageAnswer::Save};
    EXPECT_TRUE(f.FormCloseQuery());
    velmora::platform::SetSaveFileHook(previous);
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("saved.json"))));
    EXPECT_FALSE(f.HasUnsavedWork());

    // Saved, the close question is the only one again.
    boxes.records.clear();
    boxes.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(f.FormCloseQuery());
    EXPECT_EQ(boxes.records.size(), 1u);

    // Another order of the rows loses nothing; a value typed after saving does.
    f.RadioGroupSortModeClick(1);
    EXPECT_FALSE(f.HasUnsavedWork());
    f.resultList->RowAt(5)->SetManualFee(99);
    EXPECT_TRUE(f.HasUnsavedWork());
}

TEST_F(CaseFileTest, ButtonsAndShortcutsAskForTheFile)
{
    TMainForm& f = startShown();
    std::vector<SaveFileRequest> asked;
    QString answer;
    const auto previous = velmora::platform::SetSaveFileHook([&](const SaveFileRequest& r) {
        asked.push_back(r);
        return answer;
    });
    // Nothing calculated: nothing to save.
    QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].caption, QStringLiteral("案件を保存"));
    EXPECT_TRUE(asked.empty());

    QTest::keyClick(&f, Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_TRUE(asked[0].open);
    EXPECT_EQ(asked[0].caption, QStringLiteral("案件を開く"));

    calculateAt(tsuX(), tsuY());
    answer = path(QStringLiteral("button.json"));
    QTest::mouseClick(f.ButtonSaveCase, Qt::LeftButton);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_FALSE(asked[1].open);
    EXPECT_TRUE(asked[1].proposedPath.endsWith(QStringLiteral(".json")));
    EXPECT_TRUE(QFile::exists(answer));
    QTest::mouseClick(f.ButtonOpenCase, Qt::LeftButton);
    EXPECT_EQ(asked.size(), 3u);
    velmora::platform::SetSaveFileHook(previous);
}

} // namespace
