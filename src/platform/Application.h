#pragma once

#include <QApplication>

namespace velmora::platform {

// Loads Qt's Japanese translations (qtbase, and qtwebengine where the system
// has it) into `app`; returns how many were installed.
int InstallJapaneseTranslations(QCoreApplication& app);

// The application object of the program and of the widget tests. An error
// that escapes any event or signal handler ends that handler only: its
// message is shown in the error box and the event loop goes on, so one bad
// table value or web step never takes the estimator's work down with it.
class Application : public QApplication
{
    Q_OBJECT

public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // How many errors the box has reported since start; the tests watch it.
    int reportedErrors() const { return m_reportedErrors; }

private:
    int m_reportedErrors = 0;
};

} // namespace velmora::platform
