#include "CSekouPackageData.h"

#include "data/Decimal.h"
#include "ExactKm.h"
#include "Rounding.h"
#include "PackageTableCheck.h"
#include "ShownDistance.h"
#include "data/Error.h"
#include "data/FindDataFileName.h"
#include "data/MatchesCostItem.h"
#include "data/NumberText.h"
#include "data/Paths.h"
#include "data/TextFiles.h"

#include <climits>

using velmora::data::Decimal;
using velmora::calc::ExactKm;

namespace {

constexpr int DistanceLimitKm = 60;
constexpr int FirstRowFieldCount = 15;
constexpr int RowFieldCount = 6;

QString overLimitText() { return QStringLiteral("上限値を超えています"); }

QStringList rowFields(const QString& line, int needed)
{
    QStringList fields = velmora::data::SplitCommaText(line);
    if (fields.size() < needed) {
        throw velmora::ConvertError(
            QStringLiteral("施工パッケージ単価表の行 '%1' の項目が足りません。").arg(line));
    }
    return fields;
}

// One adjustment term. The factor order matters: the weight cancels only in
// exact arithmetic, and the published figures were made with this order in
// extended precision, stored once as a double.
double adjustmentTerm(double ratio, double weight, long double localPrice, double basePrice)
{
    // 0.01 is an extended constant, like every literal of the estimating rules.
    const long double share = 0.01L * static_cast<long double>(weight);
    const long double priceRatio = localPrice / static_cast<long double>(basePrice);
    const long double weighted = share * priceRatio;
    const long double spread = static_cast<long double>(ratio) / static_cast<long double>(weight);
    const double term = static_cast<double>(weighted * spread);
    return RoundHalfAt(ReduceToDecimal(term, 10, 7).toDouble(), 5);
}

int toWholeYen(double value)
{
    if (!(value > static_cast<double>(INT_MIN) - 1 && value < static_cast<double>(INT_MAX) + 1))
        throw velmora::OverflowError(QStringLiteral("施工パッケージ単価 %1 が大きすぎます。").arg(FloatToStr(value)));
    return static_cast<int>(value);
}

} // namespace

CSekouPackageData::CSekouPackageData()
{
    LoadPackageTable();
}

CSekouPackageData::CSekouPackageData(const QStringList& tableLines)
    : lines(tableLines)
{
}

bool CSekouPackageData::LoadPackageTable()
{
    using velmora::data::TableFinding;
    const QString dir = velmora::data::Paths::dataDirectory();
    const QString name = FindDataFileName(QStringLiteral("DSP2"), dir);
    fileName = name.isEmpty() ? QStringLiteral("ESP2.dat") : velmora::data::ShippedFileName(name);
    // A table that is not there, cannot be opened or is empty costs the
    // package method its transport cost, named in every row; the labour-rate
    // method does not read it and goes on.
    if (name.isEmpty()) {
        // Named with the other missing files at start-up.
        wholeTableLeftOut = TableFinding{fileName, 0, QString(),
                                         QStringLiteral("ファイルがありません。施工パッケージ方式の運搬費を出しません。")};
        return false;
    }
    try {
        lines = velmora::data::ReadLineFile(dir + name);
    } catch (const velmora::FileOpenError& e) {
        wholeTableLeftOut = TableFinding{fileName, 0, QString(), e.message() + QStringLiteral(" 施工パッケージ方式の運搬費を出しません。")};
        velmora::data::reportFinding(*wholeTableLeftOut);
        return false;
    }
    if (lines.isEmpty()) {
        wholeTableLeftOut = TableFinding{fileName, 0, QString(), QStringLiteral("ファイルが空です。施工パッケージ方式の運搬費を出しません。")};
        velmora::data::reportFinding(*wholeTableLeftOut);
        return false;
    }
    damagedGroups = velmora::calc::CheckPackageTable(lines, fileName);
    return true;
}

bool CSekouPackageData::SelectPackageGroup(const QString& k1, const QString& k2)
{
    return SelectPackageGroup(QStringList{k1, k2});
}

bool CSekouPackageData::SelectPackageGroup(const QString& k1, const QString& k2, const QString& k3)
{
    return SelectPackageGroup(QStringList{k1, k2, k3});
}

bool CSekouPackageData::SelectPackageGroup(const QString& k1, const QString& k2, const QString& k3,
                                           const QString& k4)
{
    return SelectPackageGroup(QStringList{k1, k2, k3, k4});
}

bool CSekouPackageData::SelectPackageGroup(const QStringList& keys)
{
    // Without texts every line would "hold them all" and the first line of the
    // file would pass for a key line.
    if (keys.isEmpty())
        return false;
    if (wholeTableLeftOut)
        throw velmora::data::TableDamage(*wholeTableLeftOut);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        bool all = true;
        for (const QString& key : keys) {
            if (!MatchesCostItem(lines.at(i), key)) {
                all = false;
                break;
            }
        }
        if (all) {
            LoadGroup(static_cast<int>(i + 1));
            return true;
        }
    }
    return false;
}

void CSekouPackageData::LoadGroup(int firstRow)
{
    const auto damaged = damagedGroups.constFind(firstRow);
    if (damaged != damagedGroups.constEnd())
        throw velmora::data::TableDamage(damaged.value());
    if (firstRow < 0 || firstRow >= lines.size() || lines.at(firstRow).isEmpty()) {
        const QString key = firstRow > 0 && firstRow <= lines.size() ? lines.at(firstRow - 1) : QString();
        throw velmora::Error(
            QStringLiteral("施工パッケージ単価表の条件 '%1' の下に単価の行がありません。").arg(key));
    }

    // Everything is read aside first: a bad row must not leave half a group
    // behind for the recalculations that follow.
    const QStringList first = rowFields(lines.at(firstRow), FirstRowFieldCount);
    const int classIndex = StrToInt(first.at(2));
    double figures[9];
    for (int k = 0; k < 9; ++k)
        figures[k] = StrToFloat(first.at(6 + k));
    // Zero weights or base prices would divide by zero in every price.
    for (int k : {1, 3, 5, 6, 7, 8}) {
        if (figures[k] == 0) {
            throw velmora::Error(
                QStringLiteral("施工パッケージ単価表の行 '%1' の構成比または基準単価が 0 です。").arg(lines.at(firstRow)));
        }
    }

    QStringList limits{first.at(1)};
    QStringList prices{first.at(5)};
    for (qsizetype i = firstRow + 1; i < lines.size() && !lines.at(i).isEmpty(); ++i) {
        const QStringList fields = rowFields(lines.at(i), RowFieldCount);
        limits << fields.at(1);
        prices << fields.at(5);
    }

    truckClassIndex = classIndex;
    ratio1 = figures[0];
    weight1 = figures[1];
    ratio2 = figures[2];
    weight2 = figures[3];
    ratio3 = figures[4];
    weight3 = figures[5];
    basePrice1 = figures[6];
    basePrice2 = figures[7];
    basePrice3 = figures[8];
    bandLimits = limits;
    bandPrices = prices;
    groupLoaded = true;
    limitValues.assign(static_cast<std::size_t>(bandLimits.size()), BandLimit());
    bandCosts.assign(static_cast<std::size_t>(bandLimits.size()), std::nullopt);
    bandTexts.clear();
    for (const QString& limit : bandLimits)
        bandTexts.push_back(limit + QStringLiteral("km以下"));
    lastBand.reset();
}

void CSekouPackageData::SetLocalPrices(int price1, int price2, double price3)
{
    localPrice1 = price1;
    localPrice2 = price2;
    localPrice3 = price3;
    bandCosts.assign(bandCosts.size(), std::nullopt);
}

int CSekouPackageData::BandIndexAt(const ExactKm& km) const
{
    if (limitValues.size() != static_cast<std::size_t>(bandLimits.size()))
        limitValues.assign(static_cast<std::size_t>(bandLimits.size()), BandLimit());
    std::int64_t units = 0;
    const bool kmFixed = km.fixed(units);
    for (qsizetype i = 0; i < bandLimits.size(); ++i) {
        BandLimit& limit = limitValues[static_cast<std::size_t>(i)];
        if (!limit.known) {
            limit.exact = ExactKm(Decimal::fromTableFigure(bandLimits.at(i)));
            limit.fixed = limit.exact.fixed(limit.units);
            limit.known = true;
        }
        if (kmFixed && limit.fixed ? limit.units >= units : limit.exact >= km)
            return static_cast<int>(i);
    }
    return -1;
}

int CSekouPackageData::ShownBandAt(double km) const
{
    // Each row asks for its cost and then for its band's text, with one
    // distance: the second question is answered from the first.
    if (lastBand && lastBand->first == km)
        return lastBand->second;
    const ExactKm shown = ExactKm::shown(km);
    static const ExactKm limit = ExactKm::fromInt(DistanceLimitKm);
    const int band = shown > limit ? -1 : BandIndexAt(shown);
    lastBand.emplace(km, band);
    return band;
}

int CSekouPackageData::PackageCost(double km) const
{
    if (!groupLoaded)
        throw velmora::Error(QStringLiteral("施工パッケージの単価表が選択されていません。"));
    const int band = ShownBandAt(km);
    if (band < 0)
        return 0;
    if (bandCosts.size() != static_cast<std::size_t>(bandPrices.size()))
        bandCosts.assign(static_cast<std::size_t>(bandPrices.size()), std::nullopt);
    std::optional<int>& cost = bandCosts[static_cast<std::size_t>(band)];
    if (!cost)
        cost = BandCost(band);
    return *cost;
}

int CSekouPackageData::BandCost(int band) const
{
    const double price = RoundUpSignificant(StrToFloat(bandPrices.at(band)), 4);

    const double t1 = adjustmentTerm(ratio1, weight1, localPrice1, basePrice1);
    const double t2 = adjustmentTerm(ratio2, weight2, localPrice2, basePrice2);
    const double t3 = adjustmentTerm(ratio3, weight3, localPrice3, basePrice3);

    const double ratioSum = static_cast<double>(static_cast<long double>(ratio1) + ratio2 + ratio3);
    const Decimal shares = ReduceToDecimal(ratioSum, 10, 7);
    const Decimal rest = (Decimal::fromInt(100) - shares).dividedBy100();

    double total = static_cast<double>(static_cast<long double>(t1) + t2);
    total = static_cast<double>(static_cast<long double>(total) + t3);

    const Decimal factor = ReduceToDecimal(total, 32, 8) + rest;
    const Decimal unitPrice = ReduceToDecimal(price, 32, 8) * factor;
    if (Decimal::fromInt(-1) < unitPrice && unitPrice < Decimal::fromInt(1))
        return toWholeYen(RoundDownSignificant(unitPrice.toDouble(), 1));
    return toWholeYen(RoundDownAt(unitPrice.toDouble(), 0));
}

QString CSekouPackageData::PackageBandText(double km) const
{
    const int band = ShownBandAt(km);
    if (band < 0)
        return overLimitText();
    if (bandTexts.size() != static_cast<std::size_t>(bandLimits.size()))
        return bandLimits.at(band) + QStringLiteral("km以下");
    return bandTexts[static_cast<std::size_t>(band)];
}
