#pragma once

#include "data/Notifier.h"

#include <QString>
#include <utility>
#include <vector>

namespace velmora::test {

// Collects the warnings a reader reports while it is installed.
class RecordingNotifier final : public velmora::data::Notifier
{
public:
    RecordingNotifier() : m_previous(velmora::data::setNotifier(this)) {}
    ~RecordingNotifier() override { velmora::data::setNotifier(m_previous); }
    RecordingNotifier(const RecordingNotifier&) = delete;
    RecordingNotifier& operator=(const RecordingNotifier&) = delete;

    void warning(const QString& text, const QString& caption) override { warnings.emplace_back(text, caption); }

    std::vector<std::pair<QString, QString>> warnings;

private:
    velmora::data::Notifier* m_previous;
};

} // namespace velmora::test
