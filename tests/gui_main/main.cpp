// Widget and browser tests run headless with real widgets and a real
// WebEngine. The platform and the browser's sandbox must be settled before
// the application object exists, so this suite brings its own main().
#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Chromium's sandbox refuses to start as root (CI containers).
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
