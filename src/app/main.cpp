#include "ProgramEntry.h"
#include "platform/Application.h"

#include <QDir>

int main(int argc, char* argv[])
{
    // The estimator's shell may have started us from anywhere; leave it as found.
    const QString workingDirectory = QDir::currentPath();
    // The window is laid out in pixels, as the estimators know it from the
    // manual; the desktop's scale factor must not enlarge it.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    int exitCode = 0;
    {
        velmora::platform::Application app(argc, argv);
        exitCode = velmora::app::RunProgram();
    }
    QDir::setCurrent(workingDirectory);
    return exitCode;
}
