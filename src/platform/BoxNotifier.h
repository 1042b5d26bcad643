#pragma once

#include "data/Notifier.h"

namespace velmora::platform {

// Shows the core's warnings as the exclamation box, on top, captioned with
// the executable's file name unless the reader names another caption.
class BoxNotifier : public velmora::data::Notifier
{
public:
    void warning(const QString& text, const QString& caption) override;
};

} // namespace velmora::platform
