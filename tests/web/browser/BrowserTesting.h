#pragma once

#include "app/GuiTestSupport.h"

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

} // namespace velmora::test
