#pragma once

#include <QByteArray>
#include <QString>

namespace velmora::data {

// Replaces the file at `path` with `bytes`: written to a temporary file
// beside it, which takes the old file's place only once every byte is on the
// disk. On failure (disk full, read-only folder, a folder of that name) the
// old file stays as it was, nothing is left beside it, and *error receives
// the system's reason.
bool ReplaceFileContents(const QString& path, const QByteArray& bytes, QString* error);

} // namespace velmora::data
