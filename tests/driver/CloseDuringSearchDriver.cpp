// The program as shipped, with a driver that does what an estimator does in
// its window: calculate at Tsu, start the cheapest-site search, and close the
// window from its title bar while the search waits for the route page. Every
// question is answered yes. What the estimator would see is written on
// standard output, a line each, for the process test to read:
//   box <caption>       a box was shown
//   calculating, searching, closing
//                       the step the driver takes
// The process test measures how long the process lives after "closing".

#include "app/GuiTestSupport.h"
#include "app/ProgramEntry.h"
#include "app/TMainForm.h"
#include "app/TWaitCalcDialogForm.h"
#include "web/browser/WebBrowser.h"
#include "platform/Application.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace {

void Say(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

TMainForm* MainWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<TMainForm*>(w); form && form->isVisible())
            return form;
    return nullptr;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    velmora::platform::Application app(argc, argv);
    velmora::test::BoxRecorder boxes(velmora::platform::MessageAnswer::Yes);
    boxes.onBox = [](const velmora::platform::MessageRecord& r) { Say(QStringLiteral("box ") + r.caption); };

    enum class Step { Calculate, Search, Close, Done };
    Step step = Step::Calculate;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, &driver, [&step] {
        TMainForm* form = MainWindow();
        if (!form)
            return;
        switch (step) {
        case Step::Calculate:
            // The window's first activation, once its browsers are made,
            // loads the route page and shows the first page again: the
            // estimator starts after that.
            if (!form->BrowserGoogleMaps || form->BrowserGoogleMaps->LocationURL().isEmpty()
                || form->BrowserGoogleMaps->ReadyState() != 4)
                return;
            // The button comes on once both coordinates are typed.
            form->EditX->setText(QStringLiteral("-110000"));
            form->EditY->setText(QStringLiteral("57000"));
            if (!form->ButtonCalc->isEnabled())
                return;
            step = Step::Search;
            Say(QStringLiteral("calculating"));
            form->ButtonCalc->click();
            return;
        case Step::Search:
            if (form->ActivePage() != TMainForm::PageCalcResult)
                return;
            form->EditGetLowest->setText(QStringLiteral("5"));
            step = Step::Close;
            Say(QStringLiteral("searching"));
            // The search runs its own loop inside the click: this tick ends first.
            QTimer::singleShot(0, form, [form] { form->BitBtnGetLowestClick(); });
            return;
        case Step::Close:
            if (!form->findChild<TWaitCalcDialogForm*>())
                return;
            step = Step::Done;
            Say(QStringLiteral("closing"));
            form->close();
            return;
        case Step::Done:
            return;
        }
    });
    driver.start(100);
    return velmora::app::RunProgram();
}
