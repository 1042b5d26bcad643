#pragma once

#include "app/GuiTestSupport.h"
#include "web/browser/WebBrowser.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>

#include <ostream>

// Readable failure messages for texts.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace velmora::test {

// Lets events run for a while, for checks that something does NOT happen.
inline void Settle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Runs a script in the browser's page and returns its value; a script that
// does not finish in time fails the test.
inline QVariant EvalScript(velmora::web::WebBrowser* b, const QString& script)
{
    const auto outcome = b->EvaluateJavaScript(script, 5000);
    EXPECT_TRUE(outcome.finished) << script.toStdString();
    return outcome.value;
}

// Clicks the element of the page with that id, as a user would.
inline void ClickElement(velmora::web::WebBrowser* b, const QString& id)
{
    EvalScript(b, QStringLiteral("document.getElementById('%1').click(); true").arg(id));
}

} // namespace velmora::test
