#include "UserDeployment.h"

#include "data/Error.h"
#include "data/FileErrorText.h"
#include "data/Paths.h"
#include "platform/MessageBox.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

namespace velmora::app {
namespace {

QString WithSeparator(const QString& directory)
{
    return directory.endsWith(u'/') ? directory : directory + u'/';
}

// Relative paths of the files below the deployment folders of `root`.
QSet<QString> FilesBelow(const QString& root)
{
    QSet<QString> files;
    const QDir base(root);
    for (const QString& folder : DeploymentFolders()) {
        QDirIterator it(base.filePath(folder), QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            files.insert(base.relativeFilePath(it.next()));
    }
    return files;
}

bool SameFile(const QFileInfo& shipped, const QFileInfo& copy)
{
    return copy.exists() && copy.size() == shipped.size() && copy.lastModified() == shipped.lastModified();
}

void CopyShippedFile(const QFileInfo& source, const QString& target)
{
    const auto fail = [&](const QString& reason) {
        throw velmora::Error(QStringLiteral("%1 を %2 に写せません。\r\n%3")
                                 .arg(QDir::toNativeSeparators(source.filePath()), QDir::toNativeSeparators(target), reason));
    };
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        fail(QStringLiteral("フォルダを作れません。"));
    if (QFileInfo::exists(target)) {
        QFile old(target);
        old.setPermissions(old.permissions() | QFileDevice::WriteOwner);
        if (!old.remove())
            fail(velmora::data::FileErrorText(old));
    }
    QFile in(source.filePath());
    if (!in.copy(target))
        fail(velmora::data::FileErrorText(in));
    // The user owns the copy; the update checker keeps its execute bits.
    QFile out(target);
    out.setPermissions(source.permissions() | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // The shipped file's time marks the copy as current until the next update.
    if (!out.open(QIODevice::ReadWrite) || !out.setFileTime(source.lastModified(), QFileDevice::FileModificationTime))
        fail(velmora::data::FileErrorText(out));
}

} // namespace

QString InstalledMarkerName()
{
    return QStringLiteral("velmora.install");
}

const QStringList& DeploymentFolders()
{
    static const QStringList folders = {QStringLiteral("dat"), QStringLiteral("status"), QStringLiteral("chk_verup")};
    return folders;
}

QString UserDeploymentDirectory()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : WithSeparator(data) + QStringLiteral("velmora/");
}

bool NeedsUserDeployment(const QString& exeDirectory)
{
    if (QFileInfo::exists(QDir(exeDirectory).filePath(InstalledMarkerName())))
        return true;
    const QFileInfo folder(exeDirectory);
    if (!folder.isWritable())
        return true;
    const QFileInfo data(QDir(exeDirectory).filePath(QStringLiteral("dat")));
    return data.isDir() && !data.isWritable();
}

void SyncUserDeployment(const QString& shipped, const QString& user)
{
    const QSet<QString> shippedFiles = FilesBelow(shipped);
    const QDir from(shipped);
    const QDir to(user);
    for (const QString& relative : shippedFiles) {
        const QFileInfo source(from.filePath(relative));
        const QString target = to.filePath(relative);
        if (!SameFile(source, QFileInfo(target)))
            CopyShippedFile(source, target);
    }
    // A table renamed by an update must not linger beside its successor: the
    // program finds tables by a key anywhere in the name.
    for (const QString& relative : FilesBelow(user))
        if (!shippedFiles.contains(relative))
            QFile::remove(to.filePath(relative));
}

bool PrepareDeployment()
{
    const QString exeDirectory = velmora::data::Paths::exeDirectory();
    if (!NeedsUserDeployment(exeDirectory))
        return true;
    const QString user = UserDeploymentDirectory();
    try {
        if (user.isEmpty())
            throw velmora::Error(QStringLiteral("ユーザーのデータフォルダが分かりません (HOME が未設定です)。"));
        SyncUserDeployment(exeDirectory, user);
    } catch (const velmora::Error& e) {
        velmora::platform::ShowMessage(QStringLiteral("作業用のデータフォルダを用意できません。\r\n") + e.message(),
                                       velmora::data::Paths::exeFileName(), velmora::platform::MessageButtons::Ok,
                                       velmora::platform::MessageIcon::Exclamation);
        return false;
    }
    velmora::data::Paths::setExeDirectory(user);
    velmora::data::Paths::setDataDirectory(user + QStringLiteral("dat/"));
    return true;
}

} // namespace velmora::app
