#pragma once

#include <QString>

namespace velmora::data {

// The drop-down list a selection-list model fills. The core knows lists only
// through this; the main window adapts its combo boxes to it.
class ComboTarget
{
public:
    virtual ~ComboTarget() = default;
    // Removes every item and the edit text; nothing is selected afterwards.
    virtual void clearItems() = 0;
    virtual void appendItem(const QString& text) = 0;
    virtual void setCurrentIndex(int index) = 0;
    virtual int currentIndex() const = 0;
    virtual int count() const = 0;
    virtual QString itemText(int index) const = 0;
};

} // namespace velmora::data
