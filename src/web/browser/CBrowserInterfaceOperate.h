#pragma once

#include <QPointer>
#include <QString>

namespace velmora::web {
class WebBrowser;
}

// Reads and writes input elements of the page shown in a browser, by element
// id. Nothing is kept between calls: every call looks the element up afresh,
// because events run while it waits for the page's answer and the page may
// have changed in between. A browser without a document, a missing id, an
// element that is not an input (or, for SetChecked, not a check box or radio
// button) and a page that does not answer raise velmora::Error.
class CBrowserInterfaceOperate
{
public:
    explicit CBrowserInterfaceOperate(velmora::web::WebBrowser* control);

    // The value exactly as the page holds it; an empty field gives "".
    QString GetInputValue(const QString& id);
    void SetInputValue(const QString& id, const QString& value);
    // Whether the page shown offers an input element with that id; never
    // raises (no document, or no answer, is false).
    bool HasInput(const QString& id);
    void SetChecked(const QString& id, bool state);

    // How long one call waits for the page to answer.
    static constexpr int AnswerTimeoutMs = 5000;

private:
    QString Run(const QString& operation, const QString& id, const QString& value);

    QPointer<velmora::web::WebBrowser> browser;
};
