#include "app/GuiTestSupport.h"
#include "data/Error.h"
#include "data/Paths.h"
#include "platform/Application.h"
#include "platform/BoxNotifier.h"
#include "platform/Desktop.h"
#include "platform/IsProcessRunning.h"
#include "platform/MessageBox.h"
#include "platform/SingleInstanceGuard.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>
#include <stdexcept>

using namespace velmora::platform;
using velmora::test::BoxRecorder;
using velmora::test::WaitUntil;

namespace {

// A copy of `sleep` under another executable name, running until killed.
class NamedSleeper
{
public:
    NamedSleeper(const QTemporaryDir& dir, const QString& name)
    {
        const QString path = dir.filePath(name);
        QFile::copy(QStringLiteral("/bin/sleep"), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        process.start(path, {QStringLiteral("30")});
        process.waitForStarted();
    }
    ~NamedSleeper() { stop(); }
    void stop()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    QProcess process;
};

} // namespace

// --- Message boxes -----------------------------------------------------------

TEST(MessageBoxTest, HookSeesTheBoxAsAskedAndAnswersIt)
{
    BoxRecorder boxes;
    boxes.answers = {MessageAnswer::Yes, MessageAnswer::No};
    EXPECT_EQ(ShowMessage(QStringLiteral("a\r\nb"), QStringLiteral("cap"), MessageButtons::YesNo, MessageIcon::Question),
              MessageAnswer::Yes);
    EXPECT_EQ(ShowMessage(QStringLiteral("c"), QStringLiteral("cap2"), MessageButtons::YesNo, MessageIcon::Question),
              MessageAnswer::No);
    ASSERT_EQ(boxes.records.size(), 2u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("a\r\nb"));
    EXPECT_EQ(boxes.records[0].caption, QStringLiteral("cap"));
    EXPECT_EQ(boxes.records[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(boxes.records[0].icon, MessageIcon::Question);
}

TEST(MessageBoxTest, AnOkBoxAnswersOkWhateverTheHookSays)
{
    BoxRecorder boxes(MessageAnswer::Yes);
    EXPECT_EQ(ShowMessage(QStringLiteral("t"), QStringLiteral("c"), MessageButtons::Ok, MessageIcon::Exclamation),
              MessageAnswer::Ok);
}

TEST(MessageBoxTest, RealBoxStaysOnTopShowsPlainLinesAndReportsTheButton)
{
    QString shownText;
    bool onTop = false;
    int buttonCount = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shownText = box->text();
        onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        buttonCount = static_cast<int>(box->buttons().size());
        box->button(QMessageBox::Yes)->click();
    });
    const MessageAnswer answer = ShowMessage(QStringLiteral("一行目\r\n二行目"), QStringLiteral("質問"),
                                             MessageButtons::YesNo, MessageIcon::Question);
    EXPECT_EQ(answer, MessageAnswer::Yes);
    EXPECT_EQ(shownText, QStringLiteral("一行目\n二行目"));
    EXPECT_TRUE(onTop);
    EXPECT_EQ(buttonCount, 2);
}

// Qt's own texts are Japanese whatever the desktop's language: the buttons
// of a question, a line edit's context menu and the file dialog.
TEST(MessageBoxTest, StandardButtonsMenusAndDialogsAreJapanese)
{
    QStringList buttons;
    QString defaultButton;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (QAbstractButton* b : box->buttons())
            buttons.append(b->text());
        defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        box->button(QMessageBox::No)->click();
    });
    ShowMessage(QStringLiteral("q"), QStringLiteral("c"), MessageButtons::YesNo, MessageIcon::Question);
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_TRUE(buttons.join(u'|').contains(QStringLiteral("はい"))) << buttons.join(u'|').toStdString();
    // Where nothing else is said, No, the answer that loses nothing.
    EXPECT_TRUE(defaultButton.startsWith(QStringLiteral("いいえ"))) << defaultButton.toStdString();

    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList items;
    for (QAction* a : menu->actions())
        items.append(a->text());
    EXPECT_TRUE(items.join(u'|').contains(QStringLiteral("コピー"))) << items.join(u'|').toStdString();
    EXPECT_TRUE(items.join(u'|').contains(QStringLiteral("貼り付け"))) << items.join(u'|').toStdString();

    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const auto* buttonBox = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttonBox, nullptr);
    EXPECT_TRUE(buttonBox->button(QDialogButtonBox::Cancel)->text().startsWith(QStringLiteral("キャンセル")));
}

TEST(MessageBoxTest, ClosingAQuestionBoxCountsAsNo)
{
    QTimer::singleShot(0, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
    });
    EXPECT_EQ(ShowMessage(QStringLiteral("q"), QStringLiteral("c"), MessageButtons::YesNo, MessageIcon::Question),
              MessageAnswer::No);
}

TEST(MessageBoxTest, BoxNotifierUsesTheExecutableNameWhenNoCaptionIsGiven)
{
    BoxRecorder boxes;
    velmora::data::Paths::setExeFileName(QStringLiteral("velmora-test.exe"));
    BoxNotifier notifier;
    notifier.warning(QStringLiteral("読めません"), QString());
    notifier.warning(QStringLiteral("別"), QStringLiteral("独自"));
    velmora::data::Paths::reset();
    ASSERT_EQ(boxes.records.size(), 2u);
    EXPECT_EQ(boxes.records[0].caption, QStringLiteral("velmora-test.exe"));
    EXPECT_EQ(boxes.records[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(boxes.records[1].caption, QStringLiteral("独自"));
}

// --- The framework's error box -----------------------------------------------

TEST(ErrorBoxTest, ErrorsEscapingHandlersAreShownAndTheLoopGoesOn)
{
    auto* app = qobject_cast<Application*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr) << "the widget tests must run under the program's application object";
    BoxRecorder boxes;
    const int before = app->reportedErrors();
    bool laterEventRan = false;
    QTimer::singleShot(0, [] { throw velmora::Error(QStringLiteral("表の値が数値ではありません。")); });
    QTimer::singleShot(0, [] { throw std::runtime_error("plain failure"); });
    QTimer::singleShot(0, [] { throw 42; });
    QTimer::singleShot(5, [&] { laterEventRan = true; });
    ASSERT_TRUE(WaitUntil([&] { return laterEventRan; }));
    EXPECT_EQ(app->reportedErrors() - before, 3);
    ASSERT_EQ(boxes.records.size(), 3u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("表の値が数値ではありません。"));
    EXPECT_EQ(boxes.records[1].text, QStringLiteral("plain failure"));
    EXPECT_EQ(boxes.records[2].text, GenericErrorText());
    for (const auto& r : boxes.records) {
        EXPECT_EQ(r.caption, ErrorBoxCaption());
        EXPECT_EQ(r.icon, MessageIcon::Error);
        EXPECT_EQ(r.buttons, MessageButtons::Ok);
    }
}

// --- Single-instance lock ----------------------------------------------------

TEST(SingleInstanceGuardTest, SecondLockOfTheSameNameIsRefusedUntilTheFirstGoes)
{
    QTemporaryDir dir;
    auto first = std::make_unique<SingleInstanceGuard>(QStringLiteral("QuillonMarvetta"), dir.path());
    EXPECT_EQ(first->state(), SingleInstanceGuard::State::Acquired);
    SingleInstanceGuard second(QStringLiteral("QuillonMarvetta"), dir.path());
    EXPECT_EQ(second.state(), SingleInstanceGuard::State::AlreadyRunning);
    SingleInstanceGuard other(QStringLiteral("AnotherName"), dir.path());
    EXPECT_EQ(other.state(), SingleInstanceGuard::State::Acquired);
    first.reset();
    SingleInstanceGuard third(QStringLiteral("QuillonMarvetta"), dir.path());
    EXPECT_EQ(third.state(), SingleInstanceGuard::State::Acquired);
}

TEST(SingleInstanceGuardTest, LockOfAKilledProcessIsFreeAgain)
{
    QTemporaryDir dir;
    QString lockFile;
    {
        SingleInstanceGuard probe(QStringLiteral("QuillonMarvetta"), dir.path());
        ASSERT_EQ(probe.state(), SingleInstanceGuard::State::Acquired);
        lockFile = probe.lockName();
    }
    // Another process takes the lock (-o: only flock itself holds it) and
    // says so once it holds it; a probe must not take the lock meanwhile, or
    // the holder would find it taken. Its child shell ends with our pipe.
    QProcess holder;
    holder.start(QStringLiteral("flock"), {QStringLiteral("-o"), lockFile, QStringLiteral("sh"), QStringLiteral("-c"),
                                           QStringLiteral("echo held; read line")});
    ASSERT_TRUE(holder.waitForStarted());
    ASSERT_TRUE(holder.waitForReadyRead(30000)) << "flock did not take the lock";
    ASSERT_EQ(holder.readAllStandardOutput(), QByteArray("held\n"));
    EXPECT_EQ(SingleInstanceGuard(QStringLiteral("QuillonMarvetta"), dir.path()).state(),
              SingleInstanceGuard::State::AlreadyRunning);

    // Killed without any clean-up: the kernel drops the lock as the process
    // ends, before it can be reaped.
    holder.kill();
    ASSERT_TRUE(holder.waitForFinished());
    EXPECT_EQ(SingleInstanceGuard(QStringLiteral("QuillonMarvetta"), dir.path()).state(),
              SingleInstanceGuard::State::Acquired);
}

TEST(SingleInstanceGuardTest, ProgramsStartedWhileLockedDoNotKeepTheLock)
{
    QTemporaryDir dir;
    auto guard = std::make_unique<SingleInstanceGuard>(QStringLiteral("QuillonMarvetta"), dir.path());
    ASSERT_EQ(guard->state(), SingleInstanceGuard::State::Acquired);
    QProcess child;
    child.start(QStringLiteral("/bin/sleep"), {QStringLiteral("30")});
    ASSERT_TRUE(child.waitForStarted());
    guard.reset();
    SingleInstanceGuard next(QStringLiteral("QuillonMarvetta"), dir.path());
    EXPECT_EQ(next.state(), SingleInstanceGuard::State::Acquired);
    child.kill();
    child.waitForFinished();
}

TEST(SingleInstanceGuardTest, UnusableDirectoryFails)
{
    SingleInstanceGuard guard(QStringLiteral("QuillonMarvetta"), QStringLiteral("/nonexistent/velmora/dir"));
    EXPECT_EQ(guard.state(), SingleInstanceGuard::State::Failed);
}

// --- Process list ------------------------------------------------------------

TEST(IsProcessRunningTest, MatchesTheExactExecutableNameOnly)
{
    QTemporaryDir dir;
    NamedSleeper ie(dir, QStringLiteral("iexplore.exe"));
    ASSERT_EQ(ie.process.state(), QProcess::Running);
    EXPECT_TRUE(IsProcessRunning(QStringLiteral("iexplore.exe")));
    EXPECT_FALSE(IsProcessRunning(QStringLiteral("IEXPLORE.EXE")));
    EXPECT_FALSE(IsProcessRunning(QStringLiteral("iexplore")));
    EXPECT_FALSE(IsProcessRunning(QStringLiteral("explore.exe")));
    EXPECT_FALSE(IsProcessRunning(QString()));
    ie.stop();
    EXPECT_FALSE(IsProcessRunning(QStringLiteral("iexplore.exe")));
}

TEST(IsProcessRunningTest, SeesTheTestItself)
{
    const QString self = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    EXPECT_TRUE(RunningExecutableNames().contains(self));
}

// --- Detached start ----------------------------------------------------------

TEST(StartDetachedTest, StartsTheGivenFileAndRefusesWhatIsNotThere)
{
    QTemporaryDir dir;
    const QString marker = dir.filePath(QStringLiteral("ran"));
    const QString script = dir.filePath(QStringLiteral("checker"));
    QFile f(script);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\ntouch \"" + QFile::encodeName(marker) + "\"\n");
    f.close();
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    EXPECT_TRUE(StartDetached(script));
    EXPECT_TRUE(WaitUntil([&] { return QFile::exists(marker); }));
    EXPECT_FALSE(StartDetached(dir.filePath(QStringLiteral("missing"))));
    // A bare name must not be looked up on the PATH.
    EXPECT_FALSE(StartDetached(QStringLiteral("true")));
}
