#pragma once

#include <QString>
#include <QStringList>

// The file in `directory` whose name holds `key` (case-sensitive, anywhere in
// the name), first in the order the directory listing returns; folders never
// count. Empty when nothing matches: the caller's path is then the directory
// itself, which no reader can open, so a missing file surfaces as its reader's
// open failure.
QString FindDataFileName(const QString& key, const QString& directory);

namespace velmora::data {

// The scrambled tables (CEnDecryption::ScrambledKeys()) with no file in
// `directory`. Some readers take a missing table for an empty one without a
// word, so the figures would lack a whole table: whoever loads the data
// must check this first.
QStringList MissingScrambledTables(const QString& directory);
// The same for the INI files shipped beside the tables (file names): a
// missing one reads as empty, and its lists or quantities quietly vanish.
QStringList MissingShippedIniFiles(const QString& directory);
// What the estimator is told about one of them (a table's key or an INI
// file's name); `shownFolder` is the data
// folder as the estimator knows it.
QString MissingDataFileText(const QString& key, const QString& shownFolder);

} // namespace velmora::data
