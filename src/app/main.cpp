#include "ProgramEntry.h"
#include "platform/Application.h"

#include <QDir>

int main(int argc, char* argv[])
{
    // The estimator's shell may have started us from anywhere; leave it as found.
    const QString workingDirectory = QDir::currentPath();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    int exitCode = 0;
    {
        velmora::platform::Application app(argc, argv);
        exitCode = velmora::app::RunProgram();
    }
    QDir::setCurrent(workingDirectory);
    return exitCode;
}
