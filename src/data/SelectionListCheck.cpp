#include "SelectionListCheck.h"

#include "IniFile.h"
#include "MatchesCostItem.h"
#include "Paths.h"
#include "TableFindings.h"

#include <array>
#include <functional>

namespace velmora::data {

namespace {

const QString CostItemSection = QStringLiteral("処分費目");
const std::array<QString, 3> LabourItems = {QStringLiteral("鉄筋ｺﾝｸﾘｰﾄ塊"), QStringLiteral("無筋ｺﾝｸﾘｰﾄ塊"), QStringLiteral("ｱｽｺﾝ塊")};
const std::array<QString, 3> PackageItems = {QStringLiteral("鉄筋ｺﾝｸﾘｰﾄ殻"), QStringLiteral("無筋ｺﾝｸﾘｰﾄ殻"), QStringLiteral("ｱｽﾌｧﾙﾄ殻")};

struct Section
{
    QString file;
    QStringList entries;
    std::vector<int> lines;
    int lineOf(qsizetype i) const { return i < static_cast<qsizetype>(lines.size()) ? lines[static_cast<std::size_t>(i)] : 0; }
};

Section readSection(const QString& file, const QString& name)
{
    const IniFile ini = IniFile::load(Paths::dataDirectory() + file);
    return {file, ini.sectionLines(name), ini.sectionLineNumbers(name)};
}

void reportDuplicates(const Section& s)
{
    for (qsizetype i = 0; i < s.entries.size(); ++i) {
        const qsizetype first = s.entries.indexOf(s.entries.at(i));
        if (first != i)
            reportFinding({s.file, s.lineOf(i), s.entries.at(i),
                           QStringLiteral("選択肢が %1 行目と重なっています（後ろの選択肢の番号がずれます）。").arg(s.lineOf(first))});
    }
}

// The cost items in the order the sections of the transport types assume.
void checkCostItems(const QString& file, const std::array<QString, 3>& expected)
{
    const Section s = readSection(file, CostItemSection);
    if (s.entries.isEmpty())
        return; // a missing file is told by the start-up check
    reportDuplicates(s);
    for (int i = 0; i < 3; ++i) {
        const QString entry = i < s.entries.size() ? s.entries.at(i) : QString();
        if (entry != expected[static_cast<std::size_t>(i)])
            reportFinding({file, s.lineOf(i), entry,
                           QStringLiteral("%1 番目の処分費目は「%2」のはずです（運搬種別の一覧と単価がこの順に対応します）。").arg(i + 1).arg(expected[static_cast<std::size_t>(i)])});
    }
    for (qsizetype i = 3; i < s.entries.size(); ++i)
        reportFinding({file, s.lineOf(i), s.entries.at(i), QStringLiteral("処分費目は 3 つまでです。この選択肢には処分場の一覧がありません。")});
}

// What the labour-rate transport type at an index must name: the truck class
// the index stands for.
bool namesTruckClass(const QString& entry, int costItem, int index)
{
    const QString text = ToHalfWidth(entry);
    const bool concrete = costItem < 2;
    switch (index) {
    case 0:
        return text.contains(QStringLiteral("10t")) && !text.contains(QStringLiteral("直接")) && !text.contains(QStringLiteral("切削"));
    case 1:
        return text.contains(QStringLiteral("4t"));
    case 2:
        return text.contains(QStringLiteral("2t")) && text.contains(QStringLiteral("機械"));
    case 3:
        return concrete ? text.contains(QStringLiteral("2t")) && text.contains(QStringLiteral("人力"))
                        : text.contains(QStringLiteral("直接掘削"));
    case 4:
        return !concrete && text.contains(QStringLiteral("切削"));
    default:
        return false;
    }
}

} // namespace

QString RegisterNameProblem(const QStringList& registerNames, const QStringList& costItems, int kind)
{
    if (costItems.size() < 3)
        return QString(); // nothing to compare with; the list's own check tells
    const QString name = kind < registerNames.size() ? registerNames.at(kind) : QString();
    if (!MatchesCostItem(costItems.value(kind), name))
        return QStringLiteral("%1 番目の処分費目「%2」が、処分費目の一覧の「%3」に当たりません（行の抜け、重なり、入れ替わりを確かめてください）。この処分費目の処分場は計算から外しました。")
            .arg(kind + 1)
            .arg(name, costItems.value(kind));
    for (int j = 0; j < costItems.size(); ++j) {
        if (j != kind && MatchesCostItem(costItems.at(j), name))
            return QStringLiteral("%1 番目の処分費目「%2」がほかの処分費目「%3」にも当たります。この処分費目の処分場は計算から外しました。")
                .arg(kind + 1)
                .arg(name, costItems.at(j));
    }
    return QString();
}

void CheckSelectionLists()
{
    checkCostItems(QStringLiteral("Himoku_RowSource.ini"), LabourItems);
    checkCostItems(QStringLiteral("SPHimoku_RowSource.ini"), PackageItems);

    const Section names = readSection(QStringLiteral("SyobunjoKikakuSource.ini"), CostItemSection);
    reportDuplicates(names);

    for (int item = 0; item < 3; ++item) {
        const Section types = readSection(QStringLiteral("Syubetsu_RowSource.ini"), LabourItems[static_cast<std::size_t>(item)]);
        reportDuplicates(types);
        const qsizetype most = item < 2 ? 4 : 5;
        for (qsizetype i = 0; i < types.entries.size(); ++i) {
            if (i >= most) {
                reportFinding({types.file, types.lineOf(i), types.entries.at(i),
                               QStringLiteral("[%1] の運搬種別は %2 つまでです。この選択肢にはダンプトラックの区分がありません。").arg(LabourItems[static_cast<std::size_t>(item)]).arg(most)});
            } else if (!namesTruckClass(types.entries.at(i), item, static_cast<int>(i))) {
                reportFinding({types.file, types.lineOf(i), types.entries.at(i),
                               QStringLiteral("[%1] の %2 番目の運搬種別は、その位置のダンプトラック区分の名前に見えません（並びが入れ替わっていないか確かめてください）。このまま計算します。")
                                   .arg(LabourItems[static_cast<std::size_t>(item)])
                                   .arg(i + 1),
                               FindingLevel::Warning});
            }
        }
        for (const QString& file : {QStringLiteral("SPSyubetsu_RowSource.ini"), QStringLiteral("SPGaraHassei_RowSource.ini")})
            reportDuplicates(readSection(file, PackageItems[static_cast<std::size_t>(item)]));
    }
    const IniFile loading = IniFile::load(Paths::dataDirectory() + QStringLiteral("SPTsumikomiKubun_RowSource.ini"));
    for (const QString& section : loading.sectionNames())
        reportDuplicates({QStringLiteral("SPTsumikomiKubun_RowSource.ini"), loading.sectionLines(section), loading.sectionLineNumbers(section)});
}

} // namespace velmora::data
