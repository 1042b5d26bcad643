#pragma once

#include <QString>
#include <QStringList>

// The table of `key` in `directory`: the file "<key>.dat" (letters in any
// case), otherwise the first file in DataFileNameLess order whose name starts
// with `key` (case-sensitive); a name holding the key elsewhere is never it,
// and folders never count. Empty when nothing matches: the caller's path is
// then the directory itself, which no reader can open, so a missing file
// surfaces as its reader's open failure.
QString FindDataFileName(const QString& key, const QString& directory);

namespace velmora::data {

// The order in which a data folder's names are considered, the same on every
// file system: the order a Windows folder lists them (code units compared
// without regard to case, as upper case), except that "." comes before every
// other character, so a table's own name wins over the copies made beside it
// ("ET19.dat" before "ET19 - コピー.dat", "ET19_bak.dat" and "ET19.dat.bak").
// Names equal but for case fall back to plain code-unit order.
bool DataFileNameLess(const QString& a, const QString& b);
// "<key>.dat", letters in any case: the table's own name.
bool IsTableName(const QString& name, const QString& key);
// Every file of `directory` whose name holds `key` or is IsTableName, in
// DataFileNameLess order.
QStringList DataFilesHolding(const QString& key, const QString& directory);
// What the estimator is told when files other than the table hold its key:
// `read` (FindDataFileName, empty when none is the table) is read, the files
// `passedOver` are not.
QString SeveralDataFilesText(const QString& key, const QString& read, const QStringList& passedOver);

// The scrambled tables (CEnDecryption::ScrambledKeys()) with no file in
// `directory`. Some readers take a missing table for an empty one without a
// word, so the figures would lack a whole table: whoever loads the data
// must check this first.
QStringList MissingScrambledTables(const QString& directory);
// The same for the INI files shipped beside the tables (file names): a
// missing one reads as empty, and its lists or quantities quietly vanish.
QStringList MissingShippedIniFiles(const QString& directory);
// The shipped INI files that are there but hold no line in any section (an
// emptied or garbled file reads as one without a list).
QStringList EmptyShippedIniFiles(const QString& directory);
// Names, as warnings among the table findings, the shipped INI files saved
// as UTF-8 without a mark: they are read as UTF-8, but the office should
// save them in the code page the program and its tools expect.
void ReportIniFilesInUtf8(const QString& directory);
// What the estimator is told about one of them (a table's key or an INI
// file's name); `shownFolder` is the data
// folder as the estimator knows it.
QString MissingDataFileText(const QString& key, const QString& shownFolder);
// What the estimator is told when master data could not be read at all
// (`reasons`: the readers' messages, each naming its file): what cannot be
// read stays out of the calculations until the office fixes the files.
QString UnreadableDataText(const QStringList& reasons);

} // namespace velmora::data
