// The program decodes its tables into working files in the deployment's dat/
// and removes them again while it starts. Estimators run the calculator on
// the same deployment at that moment (a batch started before opening the
// window): the calculator must still get whole tables, and the program's
// start-up must neither be disturbed nor leave anything behind.

#include "app/GuiTestSupport.h"
#include "support/FolderSnapshot.h"
#include "support/TempDeployment.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QTemporaryDir>

#include <iostream>
#include <memory>
#include <vector>

using namespace velmora::test;

namespace {

QByteArray RunCalcAlone(const QStringList& args, std::string& error)
{
    QProcess p;
    p.start(QStringLiteral(VELMORA_BIN_DIR "/velmora-calc"), args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        error = p.readAllStandardError().toStdString();
        return {};
    }
    return p.readAllStandardOutput();
}

TEST(ConcurrentRuns, ProgramStartsBesideTwoCalculatorsOnOneDeployment)
{
    TempDeployment deployment;
    ASSERT_TRUE(deployment.isValid());
    deployment.copySampleDeployment();
    const QStringList shipped = deployment.dataFiles();
    const QList<QStringList> methods = {{QStringLiteral("--method"), QStringLiteral("package")},
                                        {QStringLiteral("--method"), QStringLiteral("labour")}};
    const QStringList common = {QStringLiteral("--deploy"), deployment.exeDir(), QStringLiteral("--x"),
                                QStringLiteral("-120000"), QStringLiteral("--y"), QStringLiteral("20000")};
    std::vector<QByteArray> references;
    for (const QStringList& method : methods) {
        std::string error;
        references.push_back(RunCalcAlone(common + method, error));
        ASSERT_FALSE(references.back().isEmpty()) << error;
    }

    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    QProcess program;
    // The copy of the program goes in first, so the snapshot holds it too.
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELMORA_BIN_DIR "/velmora"), deployment.path(QStringLiteral("velmora"))));
    const auto before = FolderSnapshot(deployment.exeDir());

    // Every change in dat/ is seen, even working files that live for a few
    // milliseconds: the program's start-up is over once dat/ has changed and
    // holds the shipped files again.
    QFileSystemWatcher watcher({deployment.dataDir()});
    int changes = 0;
    QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, [&] { ++changes; });

    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(StartProgramCopy(program, deployment.exeDir(), runtime.path()));
    std::vector<std::unique_ptr<QProcess>> calcs;
    for (const QStringList& method : methods) {
        calcs.push_back(std::make_unique<QProcess>());
        calcs.back()->start(QStringLiteral(VELMORA_BIN_DIR "/velmora-calc"), common + method);
    }

    const bool settled = WaitUntil(
        [&] {
            return program.state() != QProcess::Running
                || (changes > 0 && deployment.dataFiles() == shipped);
        },
        60000);
    ASSERT_TRUE(settled) << "start-up did not finish within a minute; dat/ holds "
                         << deployment.dataFiles().join(u' ').toStdString();
    const qint64 startUp = clock.elapsed();
    // Still running a moment later: it stopped on no box and did not die.
    WaitUntil([] { return false; }, 500);
    EXPECT_EQ(program.state(), QProcess::Running) << program.readAllStandardError().toStdString();

    for (std::size_t i = 0; i < calcs.size(); ++i) {
        QProcess& p = *calcs[i];
        ASSERT_TRUE(WaitUntil([&] { return p.state() == QProcess::NotRunning; }, 120000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        EXPECT_EQ(p.readAllStandardOutput(), references[i]) << "method " << i;
    }
    std::cout << "program start-up beside two calculators: " << startUp << " ms\n" << std::flush;

    program.terminate();
    if (!program.waitForFinished(10000)) {
        program.kill();
        program.waitForFinished();
    }
    EXPECT_EQ(deployment.dataFiles(), shipped);
    EXPECT_EQ(FolderSnapshot(deployment.exeDir()), before);
}

} // namespace
