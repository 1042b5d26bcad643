// The whole program, closed from its title bar while the cheapest-site search
// waits on a slow route page: the process must end within seconds, show no
// box of the search after the close, and leave the session lock free for the
// next start.

#include "app/ProgramEntry.h"
#include "app/WebWindowFixture.h"

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QTemporaryDir>

#include <iostream>

using namespace velmora::test;
using velmora::platform::SingleInstanceGuard;

TEST_F(WebWindow, TheProgramClosedDuringASearchEndsAndStartsAgain)
{
    writeDefinitions(StandInWebDataDefText(server->host(), QStringLiteral("delay=8000")));
    QTemporaryDir runtime;
    QProcess driven;
    ASSERT_TRUE(StartProgramCopy(driven, deployment.exeDir(), runtime.path(), QStringLiteral("velmora_close_driver")));

    QStringList said;
    const auto read = [&] {
        while (driven.canReadLine())
            said.append(QString::fromUtf8(driven.readLine()).trimmed());
    };
    ASSERT_TRUE(WaitUntil([&] { read(); return said.contains(QStringLiteral("closing")) || driven.state() == QProcess::NotRunning; }, 60000))
        << said.join(u'|').toStdString();
    ASSERT_TRUE(said.contains(QStringLiteral("closing"))) << said.join(u'|').toStdString()
                                                          << driven.readAllStandardError().toStdString();
    QElapsedTimer afterClose;
    afterClose.start();
    const bool ended = WaitUntil([&] { return driven.state() == QProcess::NotRunning; }, 10000);
    const qint64 ms = afterClose.elapsed();
    if (!ended) {
        driven.kill();
        driven.waitForFinished();
    }
    read();
    ASSERT_TRUE(ended) << "still running 10 s after the close; said " << said.join(u'|').toStdString();
    std::cout << "[ measured ] program ended " << ms << " ms after the close\n";
    EXPECT_EQ(driven.exitCode(), 0);
    // The close was asked once; the search told nothing after it.
    const QStringList toldAfter = said.mid(said.indexOf(QStringLiteral("closing")) + 1);
    EXPECT_EQ(toldAfter, QStringList{QStringLiteral("box Velmora終了")});

    // The next start gets the lock: it is not turned away as a second copy.
    // It decodes its tables only once it holds the lock; the probe waits for
    // that, so as not to take the lock before the program does.
    QFileSystemWatcher watcher({deployment.dataDir()});
    int changes = 0;
    QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, [&] { ++changes; });
    QProcess next;
    ASSERT_TRUE(StartProgramCopy(next, deployment.exeDir(), runtime.path()));
    ASSERT_TRUE(WaitUntil([&] { return changes > 0; }, 60000));
    const auto lockState = [&] { return SingleInstanceGuard(velmora::app::InstanceName(), runtime.path()).state(); };
    EXPECT_TRUE(WaitUntil([&] { return lockState() == SingleInstanceGuard::State::AlreadyRunning; }, 20000));
    EXPECT_EQ(next.state(), QProcess::Running);
    next.kill();
    next.waitForFinished();
}
