#include "FindDataFileName.h"

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
