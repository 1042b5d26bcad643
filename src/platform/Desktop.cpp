#include "Desktop.h"

#include <QFileInfo>
#include <QProcess>
#include <QScreen>
#include <QWidget>

#ifdef Q_OS_WIN
#include <QDir>

#include "win/StartProgram.h"
#include "win/Taskbar.h"
#endif

namespace velmora::platform {

bool StartDetached(const QString& program)
{
    // QProcess would search PATH for a bare name; only the given file may run.
    if (!QFileInfo(program).isFile())
        return false;
#ifdef Q_OS_WIN
    return win::StartProgram(QDir::toNativeSeparators(program).toStdWString());
#else
    return QProcess::startDetached(program, QStringList());
#endif
}

int TaskbarHeight(const QScreen* screen)
{
    if (!screen)
        return 0;
#ifdef Q_OS_WIN
    // The shell counts physical pixels; the window sizes are device-independent.
    const qreal ratio = screen->devicePixelRatio();
    return qRound(win::TaskbarHeight() / (ratio > 0 ? ratio : 1.0));
#else
    const int height = screen->geometry().height() - screen->availableGeometry().height();
    return height > 0 ? height : 0;
#endif
}

void BringToForeground(QWidget* window)
{
    if (!window)
        return;
    QWidget* top = window->window();
    top->raise();
    top->activateWindow();
}

} // namespace velmora::platform
