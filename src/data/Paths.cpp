#include "Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace velmora::data {
namespace {

QString g_exeDirectory;
QString g_dataDirectory;
QString g_exeFileName;

QString withSeparator(const QString& directory)
{
    QString d = QDir::fromNativeSeparators(directory);
    if (!d.endsWith(u'/'))
        d += u'/';
    return d;
}

} // namespace

QString Paths::exeDirectory()
{
    if (g_exeDirectory.isEmpty())
        return withSeparator(QCoreApplication::applicationDirPath());
    return g_exeDirectory;
}

void Paths::setExeDirectory(const QString& directory) { g_exeDirectory = directory.isEmpty() ? QString() : withSeparator(directory); }

QString Paths::dataDirectory()
{
    if (g_dataDirectory.isEmpty())
        return exeDirectory() + QStringLiteral("dat/");
    return g_dataDirectory;
}

void Paths::setDataDirectory(const QString& directory) { g_dataDirectory = directory.isEmpty() ? QString() : withSeparator(directory); }

QString Paths::exeFileName()
{
    if (g_exeFileName.isEmpty())
        return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    return g_exeFileName;
}

void Paths::setExeFileName(const QString& name) { g_exeFileName = name; }

void Paths::reset()
{
    g_exeDirectory.clear();
    g_dataDirectory.clear();
    g_exeFileName.clear();
}

} // namespace velmora::data
