#include "Desktop.h"

#include <QFileInfo>
#include <QProcess>
#include <QScreen>
#include <QWidget>

namespace velmora::platform {

bool StartDetached(const QString& program)
{
    // QProcess would search PATH for a bare name; only the given file may run.
    if (!QFileInfo(program).isFile())
        return false;
    return QProcess::startDetached(program, QStringList());
}

int TaskbarHeight(const QScreen* screen)
{
    if (!screen)
        return 0;
    const int height = screen->geometry().height() - screen->availableGeometry().height();
    return height > 0 ? height : 0;
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
