#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

namespace velmora::test {

// Every file below `folder` (relative path) with a SHA-256 of its bytes:
// compared before and after a run, it shows any file added, removed or changed.
QMap<QString, QByteArray> FolderSnapshot(const QString& folder);

} // namespace velmora::test
