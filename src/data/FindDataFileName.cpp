#include "FindDataFileName.h"

#include "CEnDecryption.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

QString FindDataFileName(const QString& key, const QString& directory)
{
    // Unsorted on purpose: the first match in listing order wins.
    QDirIterator it(directory, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isDir())
            continue;
        if (info.fileName().contains(key, Qt::CaseSensitive))
            return info.fileName();
    }
    return QString();
}

namespace velmora::data {

QStringList MissingScrambledTables(const QString& directory)
{
    QStringList missing;
    for (const QString& key : CEnDecryption::ScrambledKeys())
        if (FindDataFileName(key, directory).isEmpty())
            missing.append(key);
    return missing;
}

QString MissingDataFileText(const QString& key, const QString& shownFolder)
{
    return QStringLiteral("データファイル %1 がありません。 %2").arg(key, QDir::toNativeSeparators(shownFolder));
}

} // namespace velmora::data
