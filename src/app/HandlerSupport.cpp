#include "HandlerSupport.h"

#include "platform/MessageBox.h"

#include <QEventLoop>
#include <QTimer>

namespace velmora::app {

void Warning(const QString& text, const QString& caption)
{
    using namespace velmora::platform;
    ShowMessage(text, caption, MessageButtons::Ok, MessageIcon::Exclamation);
}

QString ReasonLine(const QString& reason)
{
    return reason.isEmpty() ? QString() : QStringLiteral("（%1）\r\n").arg(reason);
}

void PauseProcessingEvents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace velmora::app
