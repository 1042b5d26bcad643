#include "Application.h"

#include "MessageBox.h"

namespace velmora::platform {

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const QString message = CurrentExceptionMessage();
        ++m_reportedErrors;
        ShowErrorBox(message);
    }
    return false;
}

} // namespace velmora::platform
