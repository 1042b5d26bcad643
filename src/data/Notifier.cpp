#include "Notifier.h"

#include "TableFindings.h"

#include <QStringList>
#include <cstdio>

namespace velmora::data {
namespace {

class StderrNotifier final : public Notifier
{
public:
    void warning(const QString& text, const QString& caption) override
    {
        const QString line = caption.isEmpty() ? text : caption + QStringLiteral(": ") + text;
        std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    }
};

StderrNotifier g_stderrNotifier;
Notifier* g_notifier = &g_stderrNotifier;
std::vector<DeferredWarning> g_deferred;

} // namespace

Notifier& notifier() { return *g_notifier; }

Notifier* setNotifier(Notifier* n)
{
    Notifier* previous = g_notifier;
    g_notifier = n ? n : &g_stderrNotifier;
    return previous;
}

void deferWarning(const QString& text, Deferral kind) { g_deferred.push_back({text, kind}); }

std::vector<DeferredWarning> takeDeferred()
{
    std::vector<DeferredWarning> out;
    out.swap(g_deferred);
    return out;
}

QStringList takeDeferredWarnings()
{
    QStringList out;
    for (const DeferredWarning& w : takeDeferred())
        out.append(w.text);
    const std::vector<TableFinding> findings = takeFindings();
    if (!findings.empty())
        out.append(QStringLiteral("マスタデータに誤りや確認の要る値があります。誤りのある処分場・地区・区分・距離帯は計算から外し、ほかはそのまま計算します。\r\n")
                   + FindingsText(findings));
    return out;
}

} // namespace velmora::data
