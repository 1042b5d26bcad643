#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace velmora::data {

// The core never shows a window. Readers that must tell the estimator about a
// problem (a data file that cannot be opened, a register that stopped early)
// report through this interface; the program installs one that shows message
// boxes, the command-line tools one that writes to stderr.
class Notifier
{
public:
    virtual ~Notifier() = default;
    // A warning box: exclamation icon, OK, on top. An empty caption means the
    // executable's file name.
    virtual void warning(const QString& text, const QString& caption) = 0;
};

// The installed notifier; a stderr notifier until one is installed.
Notifier& notifier();
// Installs `n` (not owned) and returns the previous one; nullptr restores the default.
Notifier* setNotifier(Notifier* n);

// Collects every warning raised while it is installed (for its lifetime),
// for a tool that must judge the whole load before it answers.
class CollectingNotifier final : public Notifier
{
public:
    CollectingNotifier() { m_previous = setNotifier(this); }
    ~CollectingNotifier() override { setNotifier(m_previous); }
    CollectingNotifier(const CollectingNotifier&) = delete;
    CollectingNotifier& operator=(const CollectingNotifier&) = delete;

    void warning(const QString& text, const QString&) override { warnings.append(text); }
    QStringList warnings;

private:
    Notifier* m_previous = nullptr;
};

// Messages kept until a convenient moment: start-up collects the warnings of
// the mended silent failures and shows them once the window exists, all in
// one box. A Gap means the loaded data lack something the figures need (a
// table that could not be decoded): a script must not be given figures then.
// A Notice tells of a choice made while loading that leaves the figures sound
// for everything else (a damaged site line left out, one table file taken
// among several).
enum class Deferral { Gap, Notice };
struct DeferredWarning
{
    QString text;
    Deferral kind = Deferral::Gap;
};
void deferWarning(const QString& text, Deferral kind = Deferral::Gap);
// The texts of every kind, in the order they were deferred, then the table
// findings (TableFindings.h) as one text; both lists are emptied.
QStringList takeDeferredWarnings();
std::vector<DeferredWarning> takeDeferred();

} // namespace velmora::data
