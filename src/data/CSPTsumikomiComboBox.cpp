#include "CSPTsumikomiComboBox.h"

#include "IniFile.h"
#include "Paths.h"
#include "SelectionList.h"

CSPTsumikomiComboBox::CSPTsumikomiComboBox(velmora::data::ComboTarget* boundCombo_)
    : boundCombo(boundCombo_)
{
    const std::array<QString, 4> sections = {
        QStringLiteral("ｺﾝｸﾘｰﾄ(無筋･鉄筋)構造物とりこわし"),
        QStringLiteral("吹付法面取壊し(ﾓﾙﾀﾙ)"),
        QStringLiteral("舗装版破砕"),
        QStringLiteral("舗装版破砕積込み(電線共同溝)"),
    };
    const auto ini = velmora::data::IniFile::load(velmora::data::Paths::dataDirectory()
                                                  + QStringLiteral("SPTsumikomiKubun_RowSource.ini"));
    for (std::size_t i = 0; i < sections.size(); ++i)
        lists[i] = ini.sectionLines(sections[i]);
    FillCombo(0, 0);
}

const QStringList* CSPTsumikomiComboBox::ListFor(int costItem, int work) const
{
    if (work != 0 && work != 1)
        return nullptr;
    // Cost items 0 and 1 share the concrete lists, 2 has the asphalt ones.
    switch (costItem) {
    case 0:
    case 1:
        return &lists[static_cast<std::size_t>(work)];
    case 2:
        return &lists[static_cast<std::size_t>(2 + work)];
    default:
        return nullptr;
    }
}

QStringList CSPTsumikomiComboBox::Items(int costItem, int work) const
{
    const QStringList* list = ListFor(costItem, work);
    return list ? *list : QStringList();
}

void CSPTsumikomiComboBox::FillCombo(int costItem, int work)
{
    const QStringList* list = ListFor(costItem, work);
    if (list && boundCombo)
        velmora::data::FillComboTarget(*boundCombo, *list);
}
