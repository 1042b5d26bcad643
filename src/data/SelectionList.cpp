#include "SelectionList.h"

#include "IniFile.h"
#include "Paths.h"

namespace velmora::data {

QStringList ReadDataIniSection(const QString& fileName, const QString& section)
{
    return IniFile::load(Paths::dataDirectory() + fileName).sectionLines(section);
}

void FillComboTarget(ComboTarget& target, const QStringList& items)
{
    target.clearItems();
    for (const QString& item : items)
        target.appendItem(item);
    if (!items.isEmpty())
        target.setCurrentIndex(0);
}

CostItemRowSource::CostItemRowSource(const QString& fileName)
    : costItems(ReadDataIniSection(fileName, QStringLiteral("処分費目")))
{
}

void CostItemRowSource::CopyItemsTo(ComboTarget& target) const
{
    target.clearItems();
    for (const QString& item : costItems)
        target.appendItem(item);
}

CostItemListModel::CostItemListModel(ComboTarget* boundCombo_, const QString& fileName,
                                     const std::array<QString, 3>& sections)
    : boundCombo(boundCombo_)
{
    const IniFile ini = IniFile::load(Paths::dataDirectory() + fileName);
    for (std::size_t i = 0; i < sections.size(); ++i)
        lists[i] = ini.sectionLines(sections[i]);
    FillCombo(0);
}

const QStringList* CostItemListModel::ListFor(int costItem) const
{
    if (costItem < 0 || costItem >= static_cast<int>(lists.size()))
        return nullptr;
    return &lists[static_cast<std::size_t>(costItem)];
}

QStringList CostItemListModel::Items(int costItem) const
{
    const QStringList* list = ListFor(costItem);
    return list ? *list : QStringList();
}

void CostItemListModel::FillCombo(int costItem)
{
    const QStringList* list = ListFor(costItem);
    if (list && boundCombo)
        FillComboTarget(*boundCombo, *list);
}

} // namespace velmora::data
