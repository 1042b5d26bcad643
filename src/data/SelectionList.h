#pragma once

#include "ComboTarget.h"

#include <QString>
#include <QStringList>
#include <array>

namespace velmora::data {

// One section of an INI file in the data folder, every line whole and in file
// order; a missing file or section gives an empty list.
QStringList ReadDataIniSection(const QString& fileName, const QString& section);

// Replaces the items of `target` with `items`; the first is selected, or
// nothing when the list is empty.
void FillComboTarget(ComboTarget& target, const QStringList& items);

// The cost items of one estimating method, handed out whole on request.
class CostItemRowSource
{
public:
    explicit CostItemRowSource(const QString& fileName);

    // Replaces the target's items with the cost items; selects nothing.
    void CopyItemsTo(ComboTarget& target) const;
    const QStringList& Items() const { return costItems; }

private:
    QStringList costItems;
};

// A list per cost item 0, 1 and 2 that refills one bound drop-down list.
class CostItemListModel
{
public:
    // `boundCombo` is not owned and may be null (no list to fill). The three
    // sections are read once; the list of cost item 0 is filled in at once.
    CostItemListModel(ComboTarget* boundCombo, const QString& fileName, const std::array<QString, 3>& sections);

    // Refills the bound list with the cost item's entries and selects the
    // first; a cost item other than 0, 1, 2 leaves the list as it is.
    void FillCombo(int costItem);
    // The entries of the cost item; null for a cost item without a list.
    const QStringList* ListFor(int costItem) const;
    // The same, empty for a cost item without a list.
    QStringList Items(int costItem) const;

private:
    std::array<QStringList, 3> lists;
    ComboTarget* boundCombo;
};

} // namespace velmora::data
