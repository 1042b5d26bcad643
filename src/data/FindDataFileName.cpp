#include "FindDataFileName.h"

#include "CEnDecryption.h"
#include "IniFile.h"
#include "TableFindings.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>

QString FindDataFileName(const QString& key, const QString& directory)
{
    // A copy an office leaves beside a table ("bak_ET19.dat", "Copy of
    // EB01.dat", "2024_ET19.dat") holds the key too; only a name that starts
    // with it is the table, and the plain "<key>.dat" beats every other.
    const QStringList names = velmora::data::DataFilesHolding(key, directory);
    for (const QString& name : names)
        if (velmora::data::IsTableName(name, key))
            return name;
    for (const QString& name : names)
        if (name.startsWith(key, Qt::CaseSensitive))
            return name;
    return {};
}

namespace velmora::data {

namespace {

char16_t collationUnit(QChar c)
{
    return c == u'.' ? char16_t(0) : c.toUpper().unicode();
}

} // namespace

bool IsTableName(const QString& name, const QString& key)
{
    return name.compare(key + QStringLiteral(".dat"), Qt::CaseInsensitive) == 0;
}

bool DataFileNameLess(const QString& a, const QString& b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = collationUnit(a.at(i));
        const char16_t y = collationUnit(b.at(i));
        if (x != y)
            return x < y;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

QStringList DataFilesHolding(const QString& key, const QString& directory)
{
    // The file system's own listing order differs between file systems (and
    // once put a backup with other fees first): the names are sorted.
    QStringList names;
    QDirIterator it(directory, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString name = info.fileName();
        if (!info.isDir() && (name.contains(key, Qt::CaseSensitive) || IsTableName(name, key)))
            names.append(name);
    }
    std::sort(names.begin(), names.end(), DataFileNameLess);
    return names;
}

QString SeveralDataFilesText(const QString& key, const QString& read, const QStringList& passedOver)
{
    const QString others = passedOver.join(QStringLiteral("、"));
    if (read.isEmpty())
        return QStringLiteral("データフォルダの %1 は名前が %2 で始まらないため読みません。").arg(others, key);
    return QStringLiteral("データフォルダに %1 のファイルが %2 つあります。%3 を使い、%4 は読みません。")
        .arg(key)
        .arg(passedOver.size() + 1)
        .arg(read, others);
}

QStringList MissingScrambledTables(const QString& directory)
{
    QStringList missing;
    for (const QString& key : CEnDecryption::ScrambledKeys())
        if (FindDataFileName(key, directory).isEmpty())
            missing.append(key);
    return missing;
}

namespace {

const QStringList& shippedIniFiles()
{
    static const QStringList files = {
        QStringLiteral("DTTankaSuryo.ini"),           QStringLiteral("SyobunjoKikakuSource.ini"),
        QStringLiteral("Himoku_RowSource.ini"),       QStringLiteral("Syubetsu_RowSource.ini"),
        QStringLiteral("SPHimoku_RowSource.ini"),     QStringLiteral("SPSyubetsu_RowSource.ini"),
        QStringLiteral("SPGaraHassei_RowSource.ini"), QStringLiteral("SPTsumikomiKubun_RowSource.ini"),
    };
    return files;
}

} // namespace

QStringList MissingShippedIniFiles(const QString& directory)
{
    QStringList missing;
    for (const QString& file : shippedIniFiles())
        if (!QFileInfo(QDir(directory).filePath(file)).isFile())
            missing.append(file);
    return missing;
}

QStringList EmptyShippedIniFiles(const QString& directory)
{
    QStringList empty;
    for (const QString& file : shippedIniFiles()) {
        const IniFile ini = IniFile::load(QDir(directory).filePath(file));
        if (!ini.exists())
            continue;
        bool anyLine = false;
        for (const QString& section : ini.sectionNames())
            anyLine |= !ini.sectionLines(section).isEmpty();
        if (!anyLine)
            empty.append(file);
    }
    return empty;
}

void ReportIniFilesInUtf8(const QString& directory)
{
    for (const QString& file : shippedIniFiles()) {
        if (IniFile::load(QDir(directory).filePath(file)).encoding() == IniEncoding::Utf8)
            reportFinding({file, 0, QString(),
                           QStringLiteral("シフトJIS ではなく UTF-8 で保存されています。UTF-8 として読み、このまま計算します。"
                                          "シフトJIS（ANSI）で保存し直してください。"),
                           FindingLevel::Warning});
    }
}

QString MissingDataFileText(const QString& key, const QString& shownFolder)
{
    return QStringLiteral("データファイル %1 がありません。 %2").arg(key, QDir::toNativeSeparators(shownFolder));
}

QString UnreadableDataText(const QStringList& reasons)
{
    return QStringLiteral("次のマスタデータを読み込めませんでした。\r\n\r\n")
           + reasons.join(QStringLiteral("\r\n\r\n"))
           + QStringLiteral("\r\n\r\n上に挙げたファイルを直すか正しいものに差し替えるよう、"
                            "データを配布している事務所に依頼してください。");
}

} // namespace velmora::data
