#include "app/MainWindowFixture.h"
#include "app/UserDeployment.h"
#include "data/Paths.h"
#include "web/CWebDataDef.h"
#include "web/WebDataDefNames.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <unistd.h>

using namespace velmora::test;
using velmora::app::InstalledMarkerName;
using velmora::app::NeedsUserDeployment;
using velmora::app::SyncUserDeployment;

namespace {

QStringList FilesIn(const QString& root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(root).relativeFilePath(it.next()));
    files.sort();
    return files;
}

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// XDG_DATA_HOME pointed at a scratch folder for the life of the object.
class ScratchDataHome
{
public:
    ScratchDataHome()
        : m_previous(qgetenv("XDG_DATA_HOME"))
        , m_had(qEnvironmentVariableIsSet("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.path()));
    }
    ~ScratchDataHome()
    {
        if (m_had)
            qputenv("XDG_DATA_HOME", m_previous);
        else
            qunsetenv("XDG_DATA_HOME");
    }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_had;
};

} // namespace

TEST(UserDeployment, CopyFollowsTheInstalledFilesAndKeepsTheUsersOwn)
{
    QTemporaryDir shipped;
    QTemporaryDir user;
    const QDir s(shipped.path());
    const QDir u(user.path());
    Write(s.filePath(QStringLiteral("dat/ET19.dat")), "sites v1");
    Write(s.filePath(QStringLiteral("dat/EA01.dat")), "districts");
    Write(s.filePath(QStringLiteral("status/WebDataDef.ini")), "[URL]");
    Write(s.filePath(QStringLiteral("chk_verup/chk_verup")), "#!/bin/sh\n");
    QFile(s.filePath(QStringLiteral("chk_verup/chk_verup")))
        .setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther);
    QFile(s.filePath(QStringLiteral("dat/ET19.dat"))).setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadOther);
    // Beside the executable but not part of the deployment.
    Write(s.filePath(QStringLiteral("velmora")), "program");

    SyncUserDeployment(shipped.path(), user.path());
    EXPECT_EQ(FilesIn(user.path()), (QStringList{QStringLiteral("chk_verup/chk_verup"), QStringLiteral("dat/EA01.dat"),
                                                 QStringLiteral("dat/ET19.dat"), QStringLiteral("status/WebDataDef.ini")}));
    EXPECT_EQ(Read(u.filePath(QStringLiteral("dat/ET19.dat"))), "sites v1");
    // The copy is the user's: writable, and the checker still runs.
    EXPECT_TRUE(QFile(u.filePath(QStringLiteral("dat/ET19.dat"))).permissions() & QFileDevice::WriteOwner);
    EXPECT_TRUE(QFile(u.filePath(QStringLiteral("chk_verup/chk_verup"))).permissions() & QFileDevice::ExeOwner);

    // The estimator's saved district and a working file left by a crash.
    Write(u.filePath(QStringLiteral("F_chiku.ini")), "[chiku]");
    Write(u.filePath(QStringLiteral("dat/DA01")), "left over");

    // An update: one table changes (same size, newer), one is renamed.
    QFile(s.filePath(QStringLiteral("dat/ET19.dat"))).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    Write(s.filePath(QStringLiteral("dat/ET19.dat")), "sites v2");
    {
        QFile f(s.filePath(QStringLiteral("dat/ET19.dat")));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime);
    }
    ASSERT_TRUE(QFile::rename(s.filePath(QStringLiteral("dat/EA01.dat")), s.filePath(QStringLiteral("dat/EA01_2027.dat"))));

    SyncUserDeployment(shipped.path(), user.path());
    EXPECT_EQ(Read(u.filePath(QStringLiteral("dat/ET19.dat"))), "sites v2");
    EXPECT_EQ(FilesIn(user.path()),
              (QStringList{QStringLiteral("F_chiku.ini"), QStringLiteral("chk_verup/chk_verup"), QStringLiteral("dat/EA01_2027.dat"),
                           QStringLiteral("dat/ET19.dat"), QStringLiteral("status/WebDataDef.ini")}));
    EXPECT_EQ(Read(u.filePath(QStringLiteral("F_chiku.ini"))), "[chiku]");

    // Nothing changed: a copy the user edited by hand is left as it is only
    // when it still looks current; a different size always brings it back.
    Write(u.filePath(QStringLiteral("status/WebDataDef.ini")), "[URL]\nhome=x");
    SyncUserDeployment(shipped.path(), user.path());
    EXPECT_EQ(Read(u.filePath(QStringLiteral("status/WebDataDef.ini"))), "[URL]");
}

TEST(UserDeployment, CopyFailureNamesTheFile)
{
    QTemporaryDir shipped;
    QTemporaryDir user;
    Write(QDir(shipped.path()).filePath(QStringLiteral("dat/ET19.dat")), "sites");
    // A file where the copy's data folder should be.
    Write(QDir(user.path()).filePath(QStringLiteral("dat")), "in the way");
    try {
        SyncUserDeployment(shipped.path(), user.path());
        FAIL() << "no error";
    } catch (const velmora::Error& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("ET19.dat"))) << e.message().toStdString();
    }
}

TEST(UserDeployment, OnlyAnInstalledOrReadOnlyProgramWorksOnACopy)
{
    QTemporaryDir folder;
    EXPECT_FALSE(NeedsUserDeployment(folder.path()));
    Write(QDir(folder.path()).filePath(InstalledMarkerName()), "");
    EXPECT_TRUE(NeedsUserDeployment(folder.path()));
    QFile::remove(QDir(folder.path()).filePath(InstalledMarkerName()));
    if (geteuid() != 0) {
        // The superuser may write anywhere; the permission test means something only for others.
        QFile(folder.path()).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        EXPECT_TRUE(NeedsUserDeployment(folder.path()));
        QFile(folder.path()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}

// The installed program on a copy of the sample deployment: it starts from
// the user's copy, saves the default district there, and leaves the
// installed folder exactly as it was.
class InstalledProgramTest : public MainWindowFixture
{
};

TEST_F(InstalledProgramTest, StartsFromTheUsersCopyAndSavesTheDistrictThere)
{
    ScratchDataHome home;
    deployment.writeBytes(InstalledMarkerName(), QByteArray("installed\n"));
    const QStringList installed = FilesIn(deployment.exeDir());

    ASSERT_TRUE(velmora::app::PrepareDeployment());
    const QString user = QDir(home.path()).filePath(QStringLiteral("velmora/"));
    EXPECT_EQ(velmora::data::Paths::exeDirectory(), user);
    EXPECT_EQ(velmora::data::Paths::dataDirectory(), user + QStringLiteral("dat/"));

    TMainForm& f = startShown();
    EXPECT_TRUE(boxes.records.empty()) << boxes.captions().join(u',').toStdString();
    ASSERT_GT(f.ComboBoxArea->count(), 1);
    f.ComboBoxArea->setCurrentIndex(1);
    QTest::mouseClick(f.ButtonAreaSave, Qt::LeftButton);
    EXPECT_TRUE(QFileInfo::exists(user + QStringLiteral("F_chiku.ini")));
    EXPECT_FALSE(Read(user + QStringLiteral("F_chiku.ini")).isEmpty());
    // Working files were made and removed in the copy; the installed folder is untouched.
    EXPECT_EQ(FilesIn(deployment.exeDir()), installed);

    // The next start of the program reads the district back from the copy.
    const QString saved = f.ComboBoxArea->currentText();
    ASSERT_TRUE(velmora::app::PrepareDeployment());
    EXPECT_EQ(start().ComboBoxArea->currentText(), saved);
}

// An office puts its route page and key into its own definitions file; two
// installations of the package over the same prefix (an upgrade) and the
// user's copy made from each leave it alone, and the program reads it.
TEST_F(InstalledProgramTest, TheOfficesRoutePageAndKeySurviveAnUpgrade)
{
    ScratchDataHome home;
    QTemporaryDir scratch;
    const QString prefix = QDir(scratch.path()).filePath(QStringLiteral("prefix"));
    const auto install = [&] {
        QProcess cmake;
        cmake.setProcessChannelMode(QProcess::MergedChannels);
        cmake.start(QStringLiteral("cmake"), {QStringLiteral("--install"), QStringLiteral(VELMORA_BIN_DIR "/.."),
                                             QStringLiteral("--prefix"), prefix});
        EXPECT_TRUE(cmake.waitForFinished(120000));
        EXPECT_EQ(cmake.exitCode(), 0) << cmake.readAll().toStdString();
    };
    const QString installed = prefix + QStringLiteral("/lib/velmora/");
    const QString office = QStringLiteral("[URL]\nGoogleMaps=https://intranet.example/velmora/route-google.html?key=OFFICEKEY\n");
    const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch.filePath(QStringLiteral("config"))));
    Write(scratch.filePath(QStringLiteral("config/velmora/WebDataDef.ini")), office.toUtf8());
    const auto routePage = [&] {
        velmora::data::Paths::setExeDirectory(installed);
        EXPECT_TRUE(velmora::app::PrepareDeployment());
        ResetSharedWebDataDefForTesting();
        return CreateSharedWebDataDef(velmora::web::DefaultWebDataDefPath())
            ->ReadValue(velmora::web::names::section::URL, velmora::web::names::key::GoogleMaps);
    };

    install();
    const QByteArray shippedDefinitions = Read(installed + QStringLiteral("status/WebDataDef.ini"));
    ASSERT_FALSE(shippedDefinitions.isEmpty());
    EXPECT_EQ(routePage(), QStringLiteral("https://intranet.example/velmora/route-google.html?key=OFFICEKEY"));

    // A key written into the installed file is what an upgrade takes away.
    QFile(installed + QStringLiteral("status/WebDataDef.ini")).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    Write(installed + QStringLiteral("status/WebDataDef.ini"), shippedDefinitions + "\n; edited by hand\n");
    install();
    EXPECT_EQ(Read(installed + QStringLiteral("status/WebDataDef.ini")), shippedDefinitions);
    EXPECT_EQ(Read(scratch.filePath(QStringLiteral("config/velmora/WebDataDef.ini"))), office.toUtf8());
    EXPECT_EQ(routePage(), QStringLiteral("https://intranet.example/velmora/route-google.html?key=OFFICEKEY"));
    qputenv("XDG_CONFIG_HOME", previous);
}
