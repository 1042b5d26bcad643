#pragma once

#include <QString>

// The file in `directory` whose name holds `key` (case-sensitive, anywhere in
// the name), first in the order the directory listing returns; folders never
// count. Empty when nothing matches: the caller's path is then the directory
// itself, which no reader can open, so a missing file surfaces as its reader's
// open failure.
QString FindDataFileName(const QString& key, const QString& directory);
