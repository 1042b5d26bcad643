// What goes wrong outside the program: a full or read-only disk under the
// saved default, a start-up killed before it cleaned up, two calculators
// started at once on one deployment.

#include "data/CEnDecryption.h"
#include "data/DefaultDistrict.h"
#include "data/Error.h"
#include "data/IniFile.h"
#include "support/FolderSnapshot.h"
#include "support/TempDeployment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <sys/mount.h>
#include <thread>

using velmora::data::IniEncoding;
using velmora::test::FolderSnapshot;
using velmora::test::TempDeployment;

namespace {

// A small file system of its own, so "disk full" and "read only" are real
// and not permission bits, which root would ignore.
class ScratchFileSystem
{
public:
    explicit ScratchFileSystem(int kilobytes)
    {
        if (!m_dir.isValid())
            return;
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
        m_mounted = ::mount("tmpfs", m_dir.path().toLocal8Bit().constData(), "tmpfs", 0, options.constData()) == 0;
        if (!m_mounted)
            m_reason = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~ScratchFileSystem()
    {
        if (m_mounted)
            ::umount2(m_dir.path().toLocal8Bit().constData(), MNT_DETACH);
    }
    ScratchFileSystem(const ScratchFileSystem&) = delete;
    ScratchFileSystem& operator=(const ScratchFileSystem&) = delete;

    bool mounted() const { return m_mounted; }
    std::string reason() const { return m_reason.toStdString(); }
    QString path() const { return m_dir.path() + u'/'; }

    bool makeReadOnly()
    {
        return ::mount("tmpfs", m_dir.path().toLocal8Bit().constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
    // Writes a filler until the file system refuses another byte.
    void fill() const
    {
        QFile filler(path() + QStringLiteral("filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(512, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        filler.close();
        // Nothing at all left, not even a partial block.
        QFile rest(path() + QStringLiteral("rest"));
        if (rest.open(QIODevice::WriteOnly)) {
            while (rest.write("x", 1) == 1 && rest.flush()) {
            }
        }
    }
    void freeSpace() const
    {
        QFile::remove(path() + QStringLiteral("filler"));
        QFile::remove(path() + QStringLiteral("rest"));
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_reason;
};

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// An old default file with more in it than the district: another program's
// settings that a broken save would take with it.
QByteArray OldDefaultFile()
{
    velmora::data::IniFile ini;
    ini.setValue(QStringLiteral("Velmora"), QStringLiteral("地区"), QStringLiteral("伊賀"));
    for (int i = 0; i < 200; ++i)
        ini.setValue(QStringLiteral("他の設定"), QStringLiteral("項目%1").arg(i), QStringLiteral("値%1").arg(i));
    return ini.encode(IniEncoding::Cp932);
}

TEST(SaveFaults, FullOrReadOnlyDiskKeepsTheOldDefaultFile)
{
    ScratchFileSystem fs(64);
    if (!fs.mounted())
        GTEST_SKIP() << "no scratch file system (" << fs.reason() << "); needs root";
    const QString file = velmora::data::DefaultDistrictFilePath(fs.path());
    const QByteArray old = OldDefaultFile();
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(old), old.size());
    }

    fs.fill();
    try {
        velmora::data::SaveDefaultDistrict(fs.path(), QStringLiteral("津"));
        FAIL() << "a save on a full disk reported success";
    } catch (const velmora::Error& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("F_chiku.ini"))) << e.what();
    }
    EXPECT_EQ(ReadAll(file), old);
    EXPECT_EQ(velmora::data::ReadSavedDistrict(fs.path()), QStringLiteral("伊賀"));
    // The half-written replacement is not left lying beside it.
    EXPECT_EQ(QDir(fs.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              QStringList({QStringLiteral("F_chiku.ini"), QStringLiteral("filler"), QStringLiteral("rest")}));

    // With room again the same save goes through, so the failure above was the disk.
    fs.freeSpace();
    velmora::data::SaveDefaultDistrict(fs.path(), QStringLiteral("津"));
    EXPECT_EQ(velmora::data::ReadSavedDistrict(fs.path()), QStringLiteral("津"));
    const QByteArray saved = ReadAll(file);

    ASSERT_TRUE(fs.makeReadOnly()) << std::strerror(errno);
    EXPECT_THROW(velmora::data::SaveDefaultDistrict(fs.path(), QStringLiteral("伊勢")), velmora::Error);
    EXPECT_EQ(ReadAll(file), saved);
}

// A start-up killed after decoding leaves plain working files beside the
// scrambled tables, possibly cut short. The next start must decode afresh
// over them, never read the leftovers, and remove them when done.
TEST(KilledStartUp, LeftWorkingFilesAreReplacedAndRemovedByTheNextStart)
{
    TempDeployment deployment;
    deployment.copySampleDeployment();
    QMap<QString, QByteArray> expected;
    for (const QString& key : CEnDecryption::ScrambledKeys()) {
        const QString scrambled = QStringLiteral("dat/%1.dat").arg(key);
        ASSERT_TRUE(deployment.exists(scrambled)) << key.toStdString();
        const QString work = QStringLiteral("dat/D%1.dat").arg(key.mid(1));
        expected.insert(work, CEnDecryption::Transform(deployment.readBytes(scrambled)));
        // Longer than the real content, so a missing truncation shows.
        deployment.writeBytes(work, QByteArray(expected.value(work).size() + 4001, '\x5a'));
    }
    const QStringList before = deployment.dataFiles();

    {
        CEnDecryption decoder;
        decoder.DecryptDataFiles();
        ASSERT_EQ(decoder.WorkFiles().size(), expected.size());
        for (auto it = expected.constBegin(); it != expected.constEnd(); ++it)
            EXPECT_EQ(deployment.readBytes(it.key()), it.value()) << it.key().toStdString();
    }
    QStringList after = before;
    for (const QString& work : expected.keys())
        after.removeAll(work.mid(4));
    EXPECT_EQ(deployment.dataFiles(), after);
}

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

// Estimators start a second copy while the first still loads; both read the
// same deployment and decode it, each must get the whole tables.
TEST(ConcurrentRuns, CalculatorsOnOneDeploymentGiveTheSameFiguresAndLeaveItAsItWas)
{
    TempDeployment deployment;
    deployment.copySampleDeployment();
    const auto before = FolderSnapshot(deployment.exeDir());
    const QString program = QStringLiteral(VELMORA_BIN_DIR) + QStringLiteral("/velmora-calc");
    const QList<QStringList> cases = {
        {QStringLiteral("--method"), QStringLiteral("package")},
        {QStringLiteral("--method"), QStringLiteral("labour")},
    };
    for (const QStringList& method : cases) {
        const QStringList args = QStringList{QStringLiteral("--deploy"), deployment.exeDir(), QStringLiteral("--x"),
                                             QStringLiteral("-120000"), QStringLiteral("--y"), QStringLiteral("20000")}
            + method;
        QProcess alone;
        alone.start(program, args);
        ASSERT_TRUE(alone.waitForFinished(120000));
        ASSERT_EQ(alone.exitCode(), 0) << alone.readAllStandardError().toStdString();
        const QByteArray reference = alone.readAllStandardOutput();
        ASSERT_FALSE(reference.isEmpty());

        constexpr int kRuns = 4;
        std::vector<std::unique_ptr<QProcess>> runs;
        for (int i = 0; i < kRuns; ++i) {
            runs.push_back(std::make_unique<QProcess>());
            runs.back()->start(program, args);
        }
        for (auto& p : runs) {
            ASSERT_TRUE(p->waitForFinished(120000));
            EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
            EXPECT_EQ(p->readAllStandardOutput(), reference);
        }
    }
    EXPECT_EQ(FolderSnapshot(deployment.exeDir()), before);
}

// The program decodes in the deployment itself and removes its working
// files again at start-up; a calculator copying the folder meanwhile sees
// them appear and vanish under its hands.
TEST(ConcurrentRuns, CalculatorCopesWithAProgramStartingOnTheSameDeployment)
{
    TempDeployment deployment;
    deployment.copySampleDeployment();
    const QString program = QStringLiteral(VELMORA_BIN_DIR) + QStringLiteral("/velmora-calc");
    const QStringList args = {QStringLiteral("--deploy"), deployment.exeDir(), QStringLiteral("--x"),
                              QStringLiteral("-120000"), QStringLiteral("--y"), QStringLiteral("20000")};
    QProcess alone;
    alone.start(program, args);
    ASSERT_TRUE(alone.waitForFinished(120000));
    ASSERT_EQ(alone.exitCode(), 0) << alone.readAllStandardError().toStdString();
    const QByteArray reference = alone.readAllStandardOutput();

    std::atomic<bool> stop{false};
    std::atomic<int> startUps{0};
    std::thread startingProgram([&] {
        while (!stop) {
            CEnDecryption decoder;
            decoder.DecryptDataFiles();
            decoder.DeleteWorkFiles();
            ++startUps;
        }
    });
    for (int i = 0; i < 12; ++i) {
        QProcess p;
        p.start(program, args);
        const bool finished = p.waitForFinished(120000);
        EXPECT_TRUE(finished);
        EXPECT_EQ(p.exitCode(), 0) << "run " << i << ": " << p.readAllStandardError().toStdString();
        EXPECT_EQ(p.readAllStandardOutput(), reference) << "run " << i;
    }
    stop = true;
    startingProgram.join();
    EXPECT_GT(startUps.load(), 12);
}

} // namespace
