#pragma once

#include <QString>

namespace velmora::data {

// Where the deployment lives. Everything is found relative to the executable's
// folder; tests and the command-line calculator point these elsewhere.
class Paths
{
public:
    // The executable's folder with a trailing separator.
    static QString exeDirectory();
    static void setExeDirectory(const QString& directory);
    // "dat/" in the executable's folder unless set otherwise; trailing separator.
    static QString dataDirectory();
    static void setDataDirectory(const QString& directory);
    // The executable's file name with extension: the caption of the warning boxes.
    static QString exeFileName();
    static void setExeFileName(const QString& name);
    // Back to the defaults taken from the running executable.
    static void reset();
};

} // namespace velmora::data
