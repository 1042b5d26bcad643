#include "DeploymentCopy.h"

#include "CEnDecryption.h"
#include "Error.h"
#include "FileErrorText.h"
#include "Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velmora::data {

DeploymentCopy::DeploymentCopy(const QString& deployment)
{
    const QDir source(QDir(deployment).filePath(QStringLiteral("dat")));
    if (!source.exists())
        throw velmora::Error(QStringLiteral("データフォルダ %1 が見つかりません。")
                                 .arg(QDir::toNativeSeparators(source.absolutePath())));
    m_deployment = QFileInfo(deployment).absoluteFilePath() + u'/';
    if (!m_dir.isValid())
        throw velmora::Error(QStringLiteral("作業フォルダを作成できません。 %1").arg(SystemErrorText(LastFileSystemError())).trimmed());
    const QString target = dataDirectory();
    if (!QDir().mkpath(target))
        throw velmora::Error(QStringLiteral("作業フォルダ %1 を作成できません。").arg(QDir::toNativeSeparators(target)));
    const auto files = source.entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    QStringList names;
    for (const QFileInfo& file : files)
        names.append(file.fileName());
    for (const QFileInfo& file : files) {
        // The program decodes in the deployment too, and its working files
        // come and go while we copy; ours are decoded afresh from the
        // scrambled originals anyway.
        const QString name = file.fileName();
        if (name.startsWith(u'D') && names.contains(QStringLiteral("E") + name.mid(1)))
            continue;
        QFile in(file.absoluteFilePath());
        if (!in.copy(target + file.fileName())) {
            if (!QFileInfo::exists(file.absoluteFilePath()))
                continue; // gone since the listing: another run's working file
            throw velmora::Error(QStringLiteral("ファイル %1 を作業フォルダにコピーできません。 %2")
                                     .arg(QDir::toNativeSeparators(file.absoluteFilePath()), FileErrorText(in)));
        }
        // A read-only deployment gives read-only copies; the decoder replaces
        // working files of the same name left in the deployment.
        QFile(target + file.fileName()).setPermissions(in.permissions() | QFileDevice::WriteOwner);
    }
    Paths::setExeDirectory(m_dir.path());
    Paths::setDataDirectory(target);
    m_decoder = std::make_unique<CEnDecryption>();
    m_decoder->DecryptDataFiles();
}

DeploymentCopy::~DeploymentCopy()
{
    m_decoder.reset();
    Paths::reset();
}

QString DeploymentCopy::dataDirectory() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("dat")) + u'/';
}

void DeploymentCopy::deleteWorkFiles()
{
    m_decoder->DeleteWorkFiles();
}

} // namespace velmora::data
