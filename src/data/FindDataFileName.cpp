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

QStringList MissingShippedIniFiles(const QString& directory)
{
    static const QStringList files = {
        QStringLiteral("DTTankaSuryo.ini"),           QStringLiteral("SyobunjoKikakuSource.ini"),
        QStringLiteral("Himoku_RowSource.ini"),       QStringLiteral("Syubetsu_RowSource.ini"),
        QStringLiteral("SPHimoku_RowSource.ini"),     QStringLiteral("SPSyubetsu_RowSource.ini"),
        QStringLiteral("SPGaraHassei_RowSource.ini"), QStringLiteral("SPTsumikomiKubun_RowSource.ini"),
    };
    QStringList missing;
    for (const QString& file : files)
        if (!QFileInfo(QDir(directory).filePath(file)).isFile())
            missing.append(file);
    return missing;
}

QString MissingDataFileText(const QString& key, const QString& shownFolder)
{
    return QStringLiteral("データファイル %1 がありません。 %2").arg(key, QDir::toNativeSeparators(shownFolder));
}

} // namespace velmora::data
