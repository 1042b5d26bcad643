#pragma once

#include <QString>

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

// Messages kept until a convenient moment: start-up collects the warnings of
// the mended silent failures and shows them once the window exists.
void deferWarning(const QString& text);
QStringList takeDeferredWarnings();

} // namespace velmora::data
