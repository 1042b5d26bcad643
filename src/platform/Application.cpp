#include "Application.h"

#include "MessageBox.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace velmora::platform {

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
{
    InstallJapaneseTranslations(*this);
}

int InstallJapaneseTranslations(QCoreApplication& app)
{
    // The program is Japanese whatever the desktop's language: Qt's own
    // buttons, dialogs and context menus must speak as the rest of it does.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    int loaded = 0;
    for (const QString& name : {QStringLiteral("qtbase_ja"), QStringLiteral("qtwebengine_ja")}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(name, folder) && QCoreApplication::installTranslator(translator))
            ++loaded;
        else
            delete translator;
    }
    return loaded;
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
