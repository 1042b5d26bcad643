#pragma once

#include <QString>
#include <QStringList>

// True when a running process has exactly this executable file name (no
// directory, compared case-sensitively as a whole string).
bool IsProcessRunning(const QString& name);

namespace velmora::platform {

// The executable file names of the running processes, in the order the
// system lists them; processes whose name cannot be read are left out.
QStringList RunningExecutableNames();

} // namespace velmora::platform
