#pragma once

#include <QString>
#include <QStringList>

namespace velmora::tools {

// Everything the program's readers find wrong in a deployment's data files,
// one message per line, each naming the file, the line and the value.
struct CheckReport
{
    QStringList errors;   // parts left out of the calculation, files missing
    QStringList warnings; // values used, but far outside their usual range
};
CheckReport CheckDeployment(const QString& deployment);

} // namespace velmora::tools
