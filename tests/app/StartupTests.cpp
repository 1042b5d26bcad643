#include "app/MainWindowFixture.h"
#include "app/PageControl.h"
#include "app/ProgramEntry.h"
#include "app/TWaitStartForm.h"
#include "calc/COutputDataManager.h"
#include "data/DefaultDistrict.h"
#include "data/Error.h"
#include "data/IniFile.h"
#include "data/Notifier.h"
#include "data/Paths.h"
#include "ui/ConditionPanel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

using namespace velmora::test;
using velmora::platform::MessageAnswer;
using velmora::platform::MessageButtons;
using velmora::platform::MessageIcon;
using velmora::platform::SingleInstanceGuard;
using velmora::web::WebBrowser;

namespace {

using StartupTest = MainWindowFixture;

void writeDistricts(const TempDeployment& d, const QStringList& districts)
{
    d.writeScrambled(QStringLiteral("EA01.dat"), QStringLiteral("地区\r\n") + districts.join(QStringLiteral("\r\n")) +
                                                     QStringLiteral("\r\n"));
    // The diesel prices pair with the districts line by line.
    QStringList prices = d.readScrambled(QStringLiteral("ET02.dat")).split(QStringLiteral("\r\n"));
    prices = prices.mid(0, static_cast<int>(districts.size()) + 1);
    d.writeScrambled(QStringLiteral("ET02.dat"), prices.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

void writeSavedDistrict(const TempDeployment& d, const QString& district)
{
    d.writeIni(QStringLiteral("F_chiku.ini"), QStringLiteral("[Velmora]\r\n地区=") + district + QStringLiteral("\r\n"));
}

} // namespace

TEST_F(StartupTest, SampleDeploymentGivesTheDocumentedInitialWindow)
{
    TMainForm& f = start();
    EXPECT_EQ(f.startupExitCode(), 0);
    EXPECT_TRUE(boxes.records.empty()) << boxes.captions().join(u',').toStdString();

    EXPECT_EQ(f.windowTitle(), QStringLiteral("Velmora"));
    EXPECT_EQ(f.size(), QSize(TMainForm::ClientWidth, TMainForm::ClientHeight));
    // Centred on the 1280 x 1024 test screen, frame included.
    EXPECT_EQ(f.pos(), QPoint((1280 - TMainForm::DesignWidth) / 2, (1024 - TMainForm::DesignHeight) / 2));
    EXPECT_EQ(f.PageControl->count(), 4);
    EXPECT_EQ(f.PageControl->tabText(0), QStringLiteral("メイン"));
    EXPECT_EQ(f.PageControl->tabText(1), QStringLiteral("計算結果"));
    EXPECT_EQ(f.PageControl->tabText(2), QStringLiteral("GoogleMap"));
    EXPECT_EQ(f.PageControl->tabText(3), QStringLiteral("地図"));
    EXPECT_EQ(f.ActivePage(), TMainForm::PageMain);

    // Master data and lists.
    ASSERT_NE(f.driver, nullptr);
    EXPECT_EQ(f.ComboBoxArea->count(), 10);
    EXPECT_EQ(f.ComboBoxArea->currentIndex(), 3);
    EXPECT_EQ(f.ComboBoxSyobunHimoku->currentIndex(), 0);
    EXPECT_EQ(f.ComboBoxSyobunHimoku->count(), 3);
    EXPECT_EQ(f.lastCalcCostItem, 0);
    EXPECT_EQ(f.ComboBoxJinkai->count(), 1);
    EXPECT_EQ(f.ComboBoxJinkai->currentText(), QStringLiteral("ｺﾝｸﾘｰﾄ塊等の重量物"));
    EXPECT_EQ(f.ComboBoxSekisai->count(), 1);
    EXPECT_EQ(f.ComboBoxSekisai->currentText(), QStringLiteral("ｱｽﾌｧﾙﾄ塊"));

    // Construction-package mode with all-zero conditions.
    EXPECT_EQ(f.calcMode, 1);
    EXPECT_TRUE(f.RadioButtonSP->isChecked());
    EXPECT_FALSE(f.PanelGaraUnpan->isHidden());
    EXPECT_TRUE(f.PanelJinkai->isHidden());
    EXPECT_TRUE(f.PanelDensen->isHidden());
    EXPECT_EQ(f.PanelCommon->y(), 360);
    EXPECT_EQ(f.ComboBoxUnpanSyubetsu->currentIndex(), 0);
    EXPECT_EQ(f.ComboBoxGaraHassei->currentIndex(), 0);
    EXPECT_EQ(f.ComboBoxTsumikomi->currentIndex(), 0);
    EXPECT_TRUE(f.RadioButtonDIDFalse->isChecked());
    EXPECT_TRUE(f.RadioButtonDTCarry->isChecked());
    EXPECT_FALSE(f.ButtonCalc->isEnabled());

    // Texts set by start-up.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}年\\d{2}月版$")).match(f.LabelVerJa->text()).hasMatch())
        << f.LabelVerJa->text().toStdString();
    EXPECT_TRUE(f.LabelVerEn->text().startsWith(QStringLiteral("Ver.")));
    EXPECT_TRUE(f.LabelVerEn->text().endsWith(QStringLiteral(" Pro")));
    EXPECT_EQ(f.LabelExplain->text(), QStringLiteral("本ツールは") + f.LabelVerJa->text() + QStringLiteral("です。"));
    EXPECT_EQ(f.BitBtnGetLowest->text(), QStringLiteral("道のり距離を取得し、\n最安値を計算"));
    EXPECT_EQ(f.LabelAttention->text(),
              QStringLiteral("[座標取得]ボタンは、MieClickMapsの地図が\n完全に表示されてからクリックしてください。"));

    // State fields and the empty grid.
    EXPECT_EQ(f.selectedRow, -1);
    EXPECT_EQ(f.sortMode, 0);
    EXPECT_EQ(f.resultList, nullptr);
    EXPECT_EQ(f.mapKind, 0);
    EXPECT_FALSE(f.routeSent);
    EXPECT_TRUE(f.lastNavigatedUrl.isEmpty());
    EXPECT_EQ(f.StringGrid->RowCount(), 2);
    EXPECT_EQ(f.StringGrid->horizontalHeader()->height(), velmora::ui::ResultGrid::HeaderHeight);
    EXPECT_EQ(f.StringGrid->rowHeight(0), velmora::ui::ResultGrid::RowHeight);
    for (int c = 0; c < velmora::ui::ResultGrid::ColumnCount; ++c)
        EXPECT_EQ(f.StringGrid->ColWidth(c), velmora::ui::ResultGrid::ColumnWidths[static_cast<std::size_t>(c)]) << c;
    EXPECT_EQ(f.PanelCalcResult->height(), TMainForm::TopPanelHeight);

    // The first page of the bid-information browser was asked for.
    const QString home = GetSharedWebDataDef()->ReadValue(QStringLiteral("URL"), QStringLiteral("home"));
    EXPECT_FALSE(home.isEmpty());
    withBrowsers();
    EXPECT_EQ(f.BrowserNyusatsuInfo->page()->requestedUrl(), QUrl(home));

    // Only the shipped files are left; nothing was written beside the program.
    EXPECT_EQ(deployment.dataFiles(), shipped);
    EXPECT_FALSE(deployment.exists(QStringLiteral("F_chiku.ini")));
    EXPECT_EQ(countTopLevel<TWaitStartForm>(), 0);
}

TEST_F(StartupTest, WindowAndCalculationComeBeforeTheBrowsersWhichFollowTheFirstPaint)
{
    TMainForm& f = start();
    f.show();
    // Shown, no event handled yet: no browser, and a calculation goes through.
    EXPECT_EQ(find<WebBrowser>("BrowserNyusatsuInfo"), nullptr);
    EXPECT_EQ(find<WebBrowser>("BrowserGoogleMaps"), nullptr);
    calculateAt(tsuX(), tsuY());
    EXPECT_GT(f.StringGrid->RowCount(), 4);
    EXPECT_EQ(f.ActivePage(), TMainForm::PageCalcResult);

    withBrowsers();
    const QString home = GetSharedWebDataDef()->ReadValue(QStringLiteral("URL"), QStringLiteral("home"));
    ASSERT_NE(find<WebBrowser>("BrowserNyusatsuInfo"), nullptr);
    EXPECT_EQ(find<WebBrowser>("BrowserNyusatsuInfo")->page()->requestedUrl(), QUrl(home));
    ASSERT_NE(find<WebBrowser>("BrowserGoogleMaps"), nullptr);
    // The window's activation asked for the route page once its browser was there.
    EXPECT_TRUE(WaitUntil([&] { return !f.BrowserGoogleMaps->page()->requestedUrl().isEmpty(); }));
}

TEST_F(StartupTest, SavedDefaultDistrictIsFoundWithoutRegardToCaseOrFallsBackToTheFourth)
{
    writeDistricts(deployment, {QStringLiteral("Kuwana"), QStringLiteral("Yokkaichi"), QStringLiteral("Suzuka"),
                                QStringLiteral("Tsu"), QStringLiteral("Matsusaka Office")});
    shipped = deployment.dataFiles();

    writeSavedDistrict(deployment, QStringLiteral("MATSUSAKA office"));
    EXPECT_EQ(start().ComboBoxArea->currentIndex(), 4);

    writeSavedDistrict(deployment, QStringLiteral("Ise"));
    EXPECT_EQ(start().ComboBoxArea->currentIndex(), 3);

    deployment.remove(QStringLiteral("F_chiku.ini"));
    EXPECT_EQ(start().ComboBoxArea->currentIndex(), 3);
    EXPECT_EQ(deployment.dataFiles(), shipped);
    EXPECT_TRUE(boxes.records.empty());
}

TEST_F(StartupTest, SavedDistrictIsSelectedAtTheNextStartAndOtherKeysSurvive)
{
    deployment.writeIni(QStringLiteral("F_chiku.ini"), QStringLiteral("[Other]\r\nkeep=1\r\n"));
    TMainForm& f = start();
    f.ComboBoxArea->setCurrentIndex(4);
    const QString fifth = f.ComboBoxArea->currentText();
    QTest::mouseClick(f.ButtonAreaSave, Qt::LeftButton);
    // The one sign that it worked: a box naming the district saved.
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].caption, QStringLiteral("初期地区保存"));
    EXPECT_EQ(boxes.records[0].icon, MessageIcon::Information);
    EXPECT_TRUE(boxes.records[0].text.contains(QStringLiteral("「") + fifth + QStringLiteral("」で保存しました")));
    // Saving changes nothing else on screen.
    EXPECT_EQ(f.ComboBoxArea->currentIndex(), 4);

    EXPECT_EQ(start().ComboBoxArea->currentIndex(), 4);
    EXPECT_EQ(form->ComboBoxArea->currentText(), fifth);
    const auto ini = velmora::data::IniFile::load(deployment.path(QStringLiteral("F_chiku.ini")));
    EXPECT_EQ(ini.value(QStringLiteral("Other"), QStringLiteral("keep")), QStringLiteral("1"));
    EXPECT_EQ(ini.value(QStringLiteral("Velmora"), QStringLiteral("地区")), fifth);
}

TEST_F(StartupTest, FailedSaveShowsTheErrorBoxNamingTheFile)
{
    TMainForm& f = start();
    f.ComboBoxArea->setCurrentIndex(0);
    // A folder where the file should be makes the write fail, for root too.
    QDir(deployment.exeDir()).mkpath(QStringLiteral("F_chiku.ini"));
    QTest::mouseClick(f.ButtonAreaSave, Qt::LeftButton);
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].caption, QStringLiteral("VelmoraPro"));
    EXPECT_EQ(boxes.records[0].icon, MessageIcon::Error);
    EXPECT_TRUE(boxes.records[0].text.contains(QStringLiteral("F_chiku.ini")));
    QDir(deployment.exeDir()).rmdir(QStringLiteral("F_chiku.ini"));
}

TEST_F(StartupTest, MissingWebDefinitionsEndStartUpWithCodeOneBeforeAnyDataFileIsDecoded)
{
    deployment.remove(QStringLiteral("status/WebDataDef.ini"));
    TMainForm& f = start();
    EXPECT_EQ(f.startupExitCode(), 1);
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("ファイルを開く事ができませんでした。\nファイル名：WebDataDef.ini"));
    EXPECT_EQ(boxes.records[0].caption, QStringLiteral("起動エラー"));
    EXPECT_EQ(boxes.records[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(boxes.records[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(f.driver, nullptr);
    EXPECT_EQ(f.LabelVerJa->text(), QStringLiteral("未設定"));
    EXPECT_EQ(deployment.dataFiles(), shipped);

    // Whatever the window shows, a calculation without master data is refused
    // with a message, not attempted.
    EXPECT_THROW(f.RunCalculation(), velmora::Error);
}

TEST_F(StartupTest, ProgramEntryEndsWithOneWhenTheDefinitionsAreMissing)
{
    deployment.remove(QStringLiteral("status/WebDataDef.ini"));
    ResetSharedWebDataDefForTesting();
    EXPECT_EQ(velmora::app::RunMainWindow(SingleInstanceGuard::State::Acquired), 1);
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].caption, QStringLiteral("起動エラー"));
}

TEST_F(StartupTest, ProgramEntryRefusesASecondCopyAndEndsSilentlyWithoutALock)
{
    velmora::data::Paths::setExeFileName(QStringLiteral("velmora"));
    EXPECT_EQ(velmora::app::RunMainWindow(SingleInstanceGuard::State::AlreadyRunning), 0);
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text,
              QStringLiteral("VelmoraProが起動中です。\r\n現在起動しているVelmoraProを終了してください。"));
    EXPECT_EQ(boxes.records[0].caption, QStringLiteral("velmora"));
    EXPECT_EQ(boxes.records[0].icon, MessageIcon::Exclamation);

    EXPECT_EQ(velmora::app::RunMainWindow(SingleInstanceGuard::State::Failed), 0);
    EXPECT_EQ(boxes.records.size(), 1u);
    // No window was made on either path.
    EXPECT_EQ(countTopLevel<TMainForm>(), 0);
}

TEST_F(StartupTest, ProgramEntryRunsTheWindowUntilTheCloseQuestionIsAnsweredYes)
{
    boxes.answers = {MessageAnswer::No, MessageAnswer::Yes};
    int closeAttempts = 0;
    std::function<void()> tryClose = [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* f = qobject_cast<TMainForm*>(w); f && f->isVisible()) {
                ++closeAttempts;
                f->close();
            }
        }
        if (closeAttempts < 2)
            QTimer::singleShot(50, tryClose);
    };
    QTimer::singleShot(50, tryClose);
    EXPECT_EQ(velmora::app::RunMainWindow(SingleInstanceGuard::State::Acquired), 0);
    EXPECT_EQ(closeAttempts, 2);
    EXPECT_EQ(boxes.captions(), QStringList({QStringLiteral("Velmora終了"), QStringLiteral("Velmora終了")}));
}

TEST_F(StartupTest, UnreadableDistrictListFillsTheRestNamesTheFileAndKeepsCalculationOff)
{
    // Without the district list no figure can be made; the window still fills
    // what it can, says which file is missing and why 計算実行 stays off.
    deployment.remove(QStringLiteral("dat/EA01.dat"));
    shipped = deployment.dataFiles();
    bool splashShownDuringInit = false;
    boxes.onBox = [&](const velmora::platform::MessageRecord&) {
        for (QWidget* w : QApplication::topLevelWidgets())
            splashShownDuringInit |= qobject_cast<TWaitStartForm*>(w) && w->isVisible();
    };
    TMainForm& f = start();
    EXPECT_EQ(f.startupExitCode(), 0);
    // One note, after the splash, naming the missing table and what could not be read.
    ASSERT_EQ(boxes.records.size(), 1u) << boxes.captions().join(u',').toStdString();
    const QString note = boxes.records[0].text;
    EXPECT_EQ(boxes.records[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(note.startsWith(QStringLiteral("データファイル EA01 がありません。"))) << note.toStdString();
    EXPECT_TRUE(note.contains(QStringLiteral("次のマスタデータを読み込めませんでした。"))) << note.toStdString();
    EXPECT_FALSE(note.contains(QStringLiteral("再起動"))) << note.toStdString();
    EXPECT_EQ(deployment.dataFiles(), shipped);
    EXPECT_FALSE(splashShownDuringInit);
    EXPECT_EQ(f.ComboBoxArea->count(), 0);
    EXPECT_EQ(f.ComboBoxSyobunHimoku->count(), 3);
    EXPECT_FALSE(f.LabelVerJa->text().isEmpty());
    // A job site typed in does not turn 計算実行 on without a district.
    f.show();
    f.EditX->setText(QStringLiteral("-147000"));
    f.EditY->setText(QStringLiteral("45000"));
    EXPECT_FALSE(f.ButtonCalc->isEnabled());
    EXPECT_TRUE(f.ButtonCalc->toolTip().contains(QStringLiteral("地区"))) << f.ButtonCalc->toolTip().toStdString();
}

TEST_F(StartupTest, WhatLoadingFoundIsToldOnceTheSplashIsGone)
{
    // The readers only note what they find; the box comes after the splash,
    // which would otherwise sit over it.
    deployment.remove(QStringLiteral("dat/ER01.dat"));
    shipped = deployment.dataFiles();
    bool splashVisible = false;
    boxes.onBox = [&](const velmora::platform::MessageRecord&) {
        for (QWidget* w : QApplication::topLevelWidgets())
            splashVisible |= qobject_cast<TWaitStartForm*>(w) && w->isVisible();
    };
    start();
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_FALSE(splashVisible);
    EXPECT_TRUE(boxes.records.front().text.startsWith(QStringLiteral("データファイル ER01 がありません。")))
        << boxes.records.front().text.toStdString();
    EXPECT_EQ(boxes.records.front().icon, MessageIcon::Exclamation);
    EXPECT_EQ(deployment.dataFiles(), shipped);
}

TEST_F(StartupTest, UpdateCheckerIsStartedAndAMissingOneChangesNothing)
{
    const QString marker = deployment.path(QStringLiteral("checker-ran"));
    deployment.writeBytes(QStringLiteral("chk_verup/chk_verup"),
                          "#!/bin/sh\ntouch \"" + QFile::encodeName(marker) + "\"\n");
    QFile::setPermissions(deployment.path(QStringLiteral("chk_verup/chk_verup")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    start();
    EXPECT_TRUE(WaitUntil([&] { return QFile::exists(marker); }));

    deployment.remove(QStringLiteral("chk_verup/chk_verup"));
    TMainForm& f = start();
    EXPECT_EQ(f.startupExitCode(), 0);
    EXPECT_TRUE(boxes.records.empty());
}

TEST_F(StartupTest, SmallScreenNarrowsTheBrowserAndColumnsAndLowersTheWindow)
{
    TMainForm& f = start();
    // Started on a large screen: nothing was fitted.
    EXPECT_EQ(f.StringGrid->ColWidth(1), 350);

    f.FitToScreen(QSize(1024, 600), 40);
    const double ratio = 1178.0 / 1024.0;
    for (int c = 0; c < velmora::ui::ResultGrid::ColumnCount; ++c) {
        const int design = velmora::ui::ResultGrid::ColumnWidths[static_cast<std::size_t>(c)];
        EXPECT_EQ(f.StringGrid->ColWidth(c), static_cast<int>(design / ratio)) << c;
    }
    EXPECT_EQ(f.OuterSize().width(), 1024);
    EXPECT_EQ(f.TabSheetMain->layout()->contentsMargins().right(), 1178 - 1024);
    // 600 minus half the 40-pixel taskbar; the top panels shrink by 669/580.
    EXPECT_EQ(f.OuterSize().height(), 580);
    EXPECT_EQ(f.PanelCalcResult->maximumHeight(), static_cast<int>(91 / (669.0 / 580.0)));
    EXPECT_EQ(f.PanelGoogleMap->maximumHeight(), f.PanelCalcResult->maximumHeight());

    TMainForm& g = start();
    g.FitToScreen(QSize(1178, 669), 40);
    EXPECT_EQ(g.size(), QSize(TMainForm::ClientWidth, TMainForm::ClientHeight));
    EXPECT_EQ(g.StringGrid->ColWidth(1), 350);
    EXPECT_EQ(g.PanelCalcResult->maximumHeight(), TMainForm::TopPanelHeight);
}

TEST_F(StartupTest, EveryCloseButtonAsksAndOnlyYesCloses)
{
    TMainForm& f = startShown();
    const std::vector<QPushButton*> buttons = {f.ButtonCloseMainTab, f.ButtonCloseCalcResultTab,
                                               f.ButtonCloseGoogleMapTab};
    for (QPushButton* b : buttons) {
        boxes.records.clear();
        boxes.answers = {MessageAnswer::No};
        f.EditX->setText(QStringLiteral("-110000"));
        QTest::mouseClick(b, Qt::LeftButton);
        ASSERT_EQ(boxes.records.size(), 1u) << b->objectName().toStdString();
        EXPECT_EQ(boxes.records[0].text, QStringLiteral("Velmoraを終了しますか？"));
        EXPECT_EQ(boxes.records[0].caption, QStringLiteral("Velmora終了"));
        EXPECT_EQ(boxes.records[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(boxes.records[0].icon, MessageIcon::Question);
        EXPECT_TRUE(f.isVisible());
        EXPECT_EQ(f.EditX->text(), QStringLiteral("-110000"));
    }
    for (QPushButton* b : buttons) {
        f.show();
        boxes.answers = {MessageAnswer::Yes};
        QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_FALSE(f.isVisible()) << b->objectName().toStdString();
    }
    // The window's own close button and the system's close command.
    f.show();
    boxes.answers = {MessageAnswer::No};
    EXPECT_FALSE(f.close());
    EXPECT_TRUE(f.isVisible());
    boxes.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(f.close());
}

TEST_F(StartupTest, ActiveTabCaptionSitsFourPixelsFurtherRight)
{
    TMainForm& f = startShown();
    velmora::app::PageTabBar* bar = f.PageControl->pageTabBar();
    for (int active = 0; active < 3; ++active) {
        f.SetActivePage(active);
        for (int i = 0; i < 3; ++i) {
            const QPoint origin = bar->captionOrigin(i);
            EXPECT_EQ(origin.x() - bar->tabRect(i).left(), i == active ? 8 : 4);
            EXPECT_EQ(origin.y() - bar->tabRect(i).top(), 4);
        }
    }
}

TEST_F(StartupTest, OnlyTheEstimatorsOwnPageSwitchCountsAsAUserChange)
{
    TMainForm& f = startShown();
    QList<int> userChanges;
    QObject::connect(f.PageControl, &velmora::app::PageControl::pageChangedByUser,
                     [&](int index) { userChanges.append(index); });
    f.SetActivePage(1);
    f.ButtonToMainClick();
    EXPECT_TRUE(userChanges.isEmpty());
    velmora::app::PageTabBar* bar = f.PageControl->pageTabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
    EXPECT_EQ(userChanges, QList<int>({2}));
    EXPECT_EQ(f.ActivePage(), 2);
}

TEST_F(StartupTest, ErrorInAHandlerIsShownAndTheWindowStaysUsable)
{
    // A construction-package table without groups makes the calculation fail.
    deployment.writeScrambled(QStringLiteral("ESP2.dat"), QStringLiteral("\r\n"));
    TMainForm& f = startShown();
    boxes.records.clear();
    calculateAt(tsuX(), tsuY());
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].caption, velmora::platform::ErrorBoxCaption());
    EXPECT_FALSE(boxes.records[0].text.isEmpty());
    EXPECT_EQ(f.ActivePage(), TMainForm::PageMain);
    EXPECT_EQ(f.lastCalcCostItem, 0);

    // The window goes on working: the labour-rate method calculates.
    QTest::mouseClick(f.RadioButtonBugakari, Qt::LeftButton);
    EXPECT_EQ(f.calcMode, 0);
    QTest::mouseClick(f.ButtonCalc, Qt::LeftButton);
    EXPECT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(f.ActivePage(), TMainForm::PageCalcResult);
    EXPECT_GT(f.StringGrid->RowCount(), 2);
}

TEST_F(StartupTest, TheRunningProgramHoldsTheSessionLockUntilItDies)
{
    // The real program on this deployment, with a runtime folder of its own.
    QTemporaryDir runtime;
    QProcess program;
    // Probing the lock takes it for a moment, so a probe made before the
    // program got there would turn the program away as a second copy. The
    // program decodes its data only once it holds the lock: a change in dat/
    // says it is past that point.
    QFileSystemWatcher watcher({deployment.dataDir()});
    int changes = 0;
    QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, [&] { ++changes; });
    ASSERT_TRUE(StartProgramCopy(program, deployment.exeDir(), runtime.path()));
    ASSERT_TRUE(WaitUntil([&] { return changes > 0; }, 60000));

    const auto lockState = [&] {
        return SingleInstanceGuard(velmora::app::InstanceName(), runtime.path()).state();
    };
    EXPECT_TRUE(WaitUntil([&] { return lockState() == SingleInstanceGuard::State::AlreadyRunning; }, 20000));
    EXPECT_EQ(program.state(), QProcess::Running);

    program.kill();
    program.waitForFinished();
    EXPECT_EQ(lockState(), SingleInstanceGuard::State::Acquired);
}

TEST_F(StartupTest, NotesTakenWhileLoadingAreShownOnceTogether)
{
    velmora::data::deferWarning(QStringLiteral("first note"));
    velmora::data::deferWarning(QStringLiteral("second note"));
    start();
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("first note\r\n\r\nsecond note"));
    EXPECT_EQ(boxes.records[0].caption, velmora::data::Paths::exeFileName());
    EXPECT_EQ(boxes.records[0].icon, MessageIcon::Exclamation);
    start();
    EXPECT_EQ(boxes.records.size(), 1u);
}

// A coordinate line without a site key, a site without its coordinate line and
// a copy of the table saved beside it: one warning box when the window is up,
// and the window calculates with every other site.
TEST_F(StartupTest, DamagedSiteLinesAndACopyOfATableAreToldInTheOneStartUpBox)
{
    QStringList coordinates = deployment.readScrambled(QStringLiteral("EC01.dat")).split(QStringLiteral("\r\n"));
    coordinates.removeIf([](const QString& line) { return line.contains(QStringLiteral(",S04,")); });
    coordinates.insert(1, QStringLiteral("x"));
    deployment.writeScrambled(QStringLiteral("EC01.dat"), coordinates.join(QStringLiteral("\r\n")));
    deployment.writeBytes(QStringLiteral("dat/EC01_bak.dat"), deployment.readBytes(QStringLiteral("dat/EC01.dat")));

    start();
    ASSERT_EQ(boxes.records.size(), 1u);
    const velmora::platform::MessageRecord& box = boxes.records[0];
    EXPECT_EQ(box.caption, velmora::data::Paths::exeFileName());
    EXPECT_EQ(box.icon, MessageIcon::Exclamation);
    EXPECT_TRUE(box.text.contains(QStringLiteral("データフォルダに EC01 のファイルが 2 つあります。EC01.dat を使い、EC01_bak.dat は読みません。")))
        << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(QStringLiteral("誤り: EC01.dat の 2 行目「x」: 項目の数が 1 です（6 のはずです）。")))
        << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(
        QStringLiteral("誤り: EC01.dat「S04」: 処分場「白鷺資源化センター(株)東員工場」の座標の行がありません。")));

    calculateAt(tsuX(), tsuY());
    EXPECT_EQ(boxes.records.size(), 1u);
    EXPECT_GT(form->StringGrid->RowCount(), 2);
}
