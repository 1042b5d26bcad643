#include "PackageTableCheck.h"

#include "data/MatchesCostItem.h"
#include "data/TextFiles.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace velmora::calc {

namespace {

using velmora::data::FindingLevel;
using velmora::data::TableFinding;

constexpr int FirstRowFieldCount = 15;
constexpr int RowFieldCount = 6;
constexpr double DistanceLimitKm = 60;
// Band prices and base prices are yen of one unit; far beyond this a unit
// price no longer fits the calculation's whole yen.
constexpr double MostPrice = 10'000'000;

// Neighbouring bands of a group differ by a fraction (a farther band costs a
// little more), while the group as a whole spans ten times from 0.3 km to
// 60 km: a figure with a digit too many at the near end is still within ten
// times the group's median, but far off the bands beside it. A band at either
// end is judged by the two next to it.
constexpr double NeighbourFactor = 3;

std::pair<std::size_t, std::size_t> neighboursOf(std::size_t k, std::size_t count)
{
    if (k == 0)
        return {1, 2};
    if (k + 1 == count)
        return {count - 2, count - 3};
    return {k - 1, k + 1};
}

std::vector<std::size_t> OffFromNeighbours(const std::vector<double>& prices)
{
    std::vector<std::size_t> off;
    if (prices.size() < 3)
        return off;
    const auto far = [](double p, double n) { return n > 0 && (p >= n * NeighbourFactor || p * NeighbourFactor <= n); };
    for (std::size_t k = 0; k < prices.size(); ++k) {
        const auto [a, b] = neighboursOf(k, prices.size());
        if (prices[k] > 0 && far(prices[k], prices[a]) && far(prices[k], prices[b]))
            off.push_back(k);
    }
    return off;
}

QString NeighboursText(const std::vector<double>& prices, std::size_t k)
{
    const auto [a, b] = neighboursOf(k, prices.size());
    return QStringLiteral("%1 と %2").arg(QString::number(prices[std::min(a, b)], 'g', 12), QString::number(prices[std::max(a, b)], 'g', 12));
}

bool isKeyLine(const QString& line) { return !line.isEmpty() && !line.contains(u','); }

// One group: the key line and the rows below it up to an empty line, the
// next key line or the end. Returns the finding that leaves it out, if any.
std::optional<TableFinding> checkGroup(const QStringList& lines, qsizetype key, qsizetype end, const QString& file)
{
    const auto damage = [&](qsizetype i, const QString& value, const QString& problem) {
        return TableFinding{file, static_cast<int>(i + 1), value,
                            problem + QStringLiteral("施工パッケージ方式のこの条件は運搬費を出しません。")};
    };
    if (key + 1 >= end)
        return damage(key, lines.at(key), QStringLiteral("条件の下に単価の行がありません。"));
    std::optional<double> previousLimit;
    std::vector<double> prices;
    std::vector<qsizetype> priceLines;
    for (qsizetype i = key + 1; i < end; ++i) {
        const QStringList fields = velmora::data::SplitCommaText(lines.at(i));
        const int expected = i == key + 1 ? FirstRowFieldCount : RowFieldCount;
        if (fields.size() != expected)
            return damage(i, lines.at(i), QStringLiteral("項目の数が %1 です（%2 のはずです。値の中のカンマや項目の抜けを確かめてください）。").arg(fields.size()).arg(expected));
        QString why;
        const std::optional<double> limit = velmora::data::TableDecimal(fields.at(1), &why);
        if (!limit)
            return damage(i, fields.at(1), QStringLiteral("運搬距離の上限が%1。").arg(why));
        if (*limit <= 0 || (previousLimit && *limit <= *previousLimit))
            return damage(i, fields.at(1), QStringLiteral("運搬距離の上限が前の行より大きくなっていません（帯は近い順に並べます）。"));
        previousLimit = limit;
        // Only the first row's class is read.
        const std::optional<long long> truckClass =
            i == key + 1 ? velmora::data::TableInteger(fields.at(2), &why) : std::optional<long long>(0);
        if (!truckClass || *truckClass < 0 || *truckClass > 2)
            return damage(i, fields.at(2), QStringLiteral("ダンプ区分が 0、1、2 のどれでもありません。"));
        const std::optional<double> price = velmora::data::TableDecimal(fields.at(5), &why);
        if (!price)
            return damage(i, fields.at(5), QStringLiteral("標準単価が%1。").arg(why));
        if (*price < 0 || *price > MostPrice)
            return damage(i, fields.at(5), QStringLiteral("標準単価が 0〜%1 円の範囲にありません。").arg(MostPrice, 0, 'f', 0));
        prices.push_back(*price);
        priceLines.push_back(i);
        if (i != key + 1)
            continue;
        // Shares (6 to 11, percent), then the base prices (12 to 14); the
        // representative shares and the base prices divide.
        for (int f = 6; f < FirstRowFieldCount; ++f) {
            const std::optional<double> figure = velmora::data::TableDecimal(fields.at(f), &why);
            if (!figure)
                return damage(i, fields.at(f), QStringLiteral("%1 番目の項目（構成比・基準単価）が%2。").arg(f).arg(why));
            const bool divides = f == 7 || f == 9 || f == 11 || f >= 12;
            const double most = f >= 12 ? MostPrice : 100;
            if (*figure < 0 || (divides && *figure == 0) || *figure > most)
                return damage(i, fields.at(f), QStringLiteral("%1 番目の項目（構成比・基準単価）が範囲（%2〜%3）にありません。")
                                                   .arg(f)
                                                   .arg(divides ? QStringLiteral("0 より大") : QStringLiteral("0"))
                                                   .arg(most, 0, 'f', 0));
        }
    }
    if (*previousLimit < DistanceLimitKm)
        return damage(end - 1, lines.at(end - 1),
                      QStringLiteral("最後の帯の上限が 60km に届きません（グループの途中の空行や行の抜けを確かめてください）。"));
    const std::vector<std::size_t> far = velmora::data::FarOffValues(prices);
    for (std::size_t k : far)
        velmora::data::reportFinding({file, static_cast<int>(priceLines[k] + 1), lines.at(priceLines[k]),
                                      QStringLiteral("標準単価がほかの帯の 10 倍以上または 10 分の 1 以下です（%1）。このまま計算します。")
                                          .arg(velmora::data::UsualRangeText(prices)),
                                      FindingLevel::Warning});
    for (std::size_t k : OffFromNeighbours(prices)) {
        if (std::find(far.begin(), far.end(), k) != far.end())
            continue;
        velmora::data::reportFinding({file, static_cast<int>(priceLines[k] + 1), lines.at(priceLines[k]),
                                      QStringLiteral("標準単価が隣の帯の 3 倍以上または 3 分の 1 以下です（隣の帯は %1）。このまま計算します。")
                                          .arg(NeighboursText(prices, k)),
                                      FindingLevel::Warning});
    }
    return std::nullopt;
}

} // namespace

QHash<int, TableFinding> CheckPackageTable(const QStringList& lines, const QString& file)
{
    QHash<int, TableFinding> damaged;
    QHash<QString, qsizetype> keyLines;
    // The first line is the heading.
    for (qsizetype i = 1; i < lines.size();) {
        const QString& line = lines.at(i);
        if (line.isEmpty()) {
            ++i;
            continue;
        }
        if (!isKeyLine(line)) {
            // Rows without a condition above them: an empty line has cut a
            // group in two, and the group above is reported as too short.
            velmora::data::reportFinding({file, static_cast<int>(i + 1), line,
                           QStringLiteral("条件の行のない単価の行です（グループの途中の空行を確かめてください）。この行は使いません。")});
            while (i < lines.size() && !lines.at(i).isEmpty() && !isKeyLine(lines.at(i)))
                ++i;
            continue;
        }
        qsizetype end = i + 1;
        while (end < lines.size() && !lines.at(end).isEmpty() && !isKeyLine(lines.at(end)))
            ++end;
        std::optional<TableFinding> damage;
        const QString normalized = velmora::data::ToHalfWidthKatakana(line);
        if (keyLines.contains(normalized)) {
            damage = TableFinding{file, static_cast<int>(i + 1), line,
                                  QStringLiteral("同じ条件が %1 行目にもあります。この行のグループは使いません。").arg(keyLines.value(normalized) + 1)};
        } else {
            keyLines.insert(normalized, i);
            damage = checkGroup(lines, i, end, file);
        }
        if (damage) {
            velmora::data::reportFinding(*damage);
            damaged.insert(static_cast<int>(i + 1), *damage);
        }
        i = end;
    }
    // An emptied or garbled table has no condition line at all; every
    // package calculation would then fail with no word at start-up.
    if (keyLines.isEmpty())
        velmora::data::reportFinding({file, 0, QString::number(lines.size()),
                                      QStringLiteral("条件の行が一つもありません（ファイルが壊れていないか確かめてください）。施工パッケージ方式は運搬費を出しません。")});
    return damaged;
}

} // namespace velmora::calc
