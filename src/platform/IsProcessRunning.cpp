#include "IsProcessRunning.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include "win/ProcessSnapshot.h"
#endif

namespace velmora::platform {
namespace {

#ifndef Q_OS_WIN
QString baseName(QString path)
{
    // A replaced executable still runs; the link then carries this suffix.
    const QString deleted = QStringLiteral(" (deleted)");
    if (path.endsWith(deleted))
        path.chop(deleted.size());
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash >= 0 ? path.mid(slash + 1) : path;
}

// The executable's file name of one /proc entry. The exe link is the truth;
// it is unreadable for other users' processes, whose first argument is the
// best we can see. Kernel threads have neither and are skipped.
QString executableName(const QString& pidDir)
{
    const QString exe = QFile::symLinkTarget(pidDir + QStringLiteral("/exe"));
    if (!exe.isEmpty())
        return baseName(exe);
    QFile cmdline(pidDir + QStringLiteral("/cmdline"));
    if (!cmdline.open(QIODevice::ReadOnly))
        return {};
    const QByteArray args = cmdline.readAll();
    const qsizetype end = args.indexOf('\0');
    const QByteArray first = end >= 0 ? args.left(end) : args;
    if (first.isEmpty())
        return {};
    return baseName(QFile::decodeName(first));
}
#endif

} // namespace

QStringList RunningExecutableNames()
{
    QStringList names;
#ifdef Q_OS_WIN
    for (const std::wstring& name : win::RunningExecutableNames())
        names.append(QString::fromStdWString(name));
#else
    const QDir proc(QStringLiteral("/proc"));
    const QStringList entries = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool numeric = false;
        entry.toLongLong(&numeric);
        if (!numeric)
            continue;
        const QString name = executableName(proc.filePath(entry));
        if (!name.isEmpty())
            names.append(name);
    }
#endif
    return names;
}

} // namespace velmora::platform

bool IsProcessRunning(const QString& name)
{
    return velmora::platform::RunningExecutableNames().contains(name, Qt::CaseSensitive);
}
