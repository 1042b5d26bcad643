#include "web/browser/CBrowserInterfaceOperate.h"

#include "data/Error.h"
#include "web/browser/WebBrowser.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QVariantMap>

namespace {

// The page's answer is always an object, so "no answer" (the page went away,
// undefined, an exception) can be told from an empty value. The id and the
// value arrive as JSON literals and never become script text.
const char* const kOperationScript = R"JS(
(function (operation, id, value) {
  try {
    if (!document || !document.documentElement) return {status: 'nodocument'};
    var el = document.getElementById(id);
    if (operation === 'has') return {status: 'ok', value: String(el instanceof HTMLInputElement)};
    if (!el) return {status: 'noelement'};
    if (!(el instanceof HTMLInputElement)) return {status: 'notinput'};
    if (operation === 'get') return {status: 'ok', value: String(el.value)};
    if (operation === 'set') { el.value = value; return {status: 'ok'}; }
    var type = (el.type || '').toLowerCase();
    if (type !== 'checkbox' && type !== 'radio') return {status: 'notcheckable'};
    el.checked = value === 'true';
    return {status: 'ok'};
  } catch (e) {
    return {status: 'exception', error: String(e)};
  }
}).apply(null, %1)
)JS";

QString JsonArguments(const QString& operation, const QString& id, const QString& value)
{
    QString json = QString::fromUtf8(QJsonDocument(QJsonArray{operation, id, value}).toJson(QJsonDocument::Compact));
    // Line and paragraph separators end a line in older script parsers.
    json.replace(QChar(0x2028), QStringLiteral("\\u2028"));
    json.replace(QChar(0x2029), QStringLiteral("\\u2029"));
    return json;
}

} // namespace

CBrowserInterfaceOperate::CBrowserInterfaceOperate(velmora::web::WebBrowser* control)
    : browser(control)
{
}

QString CBrowserInterfaceOperate::GetInputValue(const QString& id)
{
    return Run(QStringLiteral("get"), id, QString());
}

bool CBrowserInterfaceOperate::HasInput(const QString& id)
{
    if (!browser || !browser->HasDocument())
        return false;
    try {
        return Run(QStringLiteral("has"), id, QString()) == QStringLiteral("true");
    } catch (const velmora::Error&) {
        // An error page or a page that does not answer offers nothing.
        return false;
    }
}

void CBrowserInterfaceOperate::SetInputValue(const QString& id, const QString& value)
{
    Run(QStringLiteral("set"), id, value);
}

void CBrowserInterfaceOperate::SetChecked(const QString& id, bool state)
{
    Run(QStringLiteral("check"), id, state ? QStringLiteral("true") : QStringLiteral("false"));
}

QString CBrowserInterfaceOperate::Run(const QString& operation, const QString& id, const QString& value)
{
    if (!browser || !browser->HasDocument())
        throw velmora::Error(QStringLiteral("ブラウザにページが表示されていません。"));
    const auto outcome = browser->EvaluateJavaScript(
        QString::fromUtf8(kOperationScript).arg(JsonArguments(operation, id, value)), AnswerTimeoutMs);
    const QVariantMap answer = outcome.value.toMap();
    const QString status = answer.value(QStringLiteral("status")).toString();
    if (!outcome.finished || status.isEmpty())
        throw velmora::Error(QStringLiteral("ページから応答がありませんでした。\n要素ID：%1").arg(id));
    if (status == QStringLiteral("ok"))
        return answer.value(QStringLiteral("value")).toString();
    if (status == QStringLiteral("nodocument"))
        throw velmora::Error(QStringLiteral("ブラウザにページが表示されていません。"));
    if (status == QStringLiteral("noelement"))
        throw velmora::Error(QStringLiteral("ページに要素が見つかりません。\n要素ID：%1").arg(id));
    if (status == QStringLiteral("notinput"))
        throw velmora::Error(QStringLiteral("ページの要素が入力欄ではありません。\n要素ID：%1").arg(id));
    if (status == QStringLiteral("notcheckable"))
        throw velmora::Error(QStringLiteral("ページの要素がチェックボックスではありません。\n要素ID：%1").arg(id));
    throw velmora::Error(QStringLiteral("ページの要素を操作できませんでした。\n要素ID：%1\n%2")
                             .arg(id, answer.value(QStringLiteral("error")).toString()));
}
