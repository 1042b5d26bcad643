#include "CDistrictUnitPrice.h"

#include "Decimal.h"
#include "Error.h"
#include "FindDataFileName.h"
#include "IniFile.h"
#include "NumberText.h"
#include "Paths.h"
#include "TextFiles.h"
#include "TableFindings.h"

#include <algorithm>
#include <array>
#include <climits>
#include <optional>

using velmora::data::Decimal;
using velmora::data::Paths;

namespace {

const QString QuantitiesFile = QStringLiteral("DTTankaSuryo.ini");

QString dataFilePath(const QString& key)
{
    const QString directory = Paths::dataDirectory();
    return directory + FindDataFileName(key, directory);
}

QString shippedFile(const QString& key) { return velmora::data::ShippedFileName(dataFilePath(key)); }

} // namespace

// The lines of a price file. A file that is not there, cannot be opened or is
// empty leaves its whole list out: the calculations that use it show the
// reason in their rows, the others go on.
bool CDistrictUnitPrice::ReadPriceFile(const QString& key, QStringList& lines)
{
    using velmora::data::TableFinding;
    const QString directory = Paths::dataDirectory();
    if (FindDataFileName(key, directory).isEmpty()) {
        // Named with the other missing files at start-up; the rows say it too.
        damage[key].insert(-1, TableFinding{u'E' + key.mid(1) + QStringLiteral(".dat"), 0, QString(),
                                            QStringLiteral("ファイルがありません。この表の単価を使う計算は運搬費を出しません。")});
        return false;
    }
    try {
        lines = velmora::data::ReadLineFileKeepingStrayCr(dataFilePath(key));
    } catch (const velmora::FileOpenError& e) {
        const TableFinding f{shippedFile(key), 0, QString(), e.message() + QStringLiteral(" この表の単価を使う計算は運搬費を出しません。")};
        velmora::data::reportFinding(f);
        damage[key].insert(-1, f);
        return false;
    }
    if (lines.isEmpty()) {
        const TableFinding f{shippedFile(key), 0, QString(),
                             QStringLiteral("ファイルが空です。この表の単価を使う計算は運搬費を出しません。")};
        velmora::data::reportFinding(f);
        damage[key].insert(-1, f);
        return false;
    }
    return true;
}

// A list file: the heading goes, one price per line stays.
bool CDistrictUnitPrice::ReadPriceList(const QString& key, QStringList& prices)
{
    if (!ReadPriceFile(key, prices))
        return false;
    prices.removeFirst();
    return true;
}

namespace {

// The districts the prices of "DT02" pair with, line by line; empty when
// "DA01" cannot be read (its reader tells).
QStringList districtLines()
{
    try {
        QStringList lines = velmora::data::ReadLineFile(dataFilePath(QStringLiteral("DA01")));
        if (!lines.isEmpty())
            lines.removeFirst();
        return lines;
    } catch (const velmora::FileOpenError&) {
        return {};
    }
}

// Highest plausible figures: beyond them a total no longer fits the
// calculation's whole yen (a day's wage of two thousand million yen).
constexpr long long MostWage = 1'000'000;
constexpr long long MostFuelPrice = 100'000;
constexpr long long MostTruckPrice = 10'000'000;
constexpr long long MostWholeQuantity = 1000;
constexpr double MostQuantityFactor = 100;

// A cost that does not fit an int is a data error, not a wrapped-around figure.
int checkedInt(const Decimal& value)
{
    if (value > Decimal::fromInt(INT_MAX) || value < Decimal::fromInt(INT_MIN))
        throw velmora::OverflowError(QStringLiteral("ダンプトラック費用 %1 が大きすぎます。").arg(value.toString()));
    return static_cast<int>(value.toDouble());
}

// The truck classes are listed 10t, 4t, 2t: a smaller truck never costs more
// a day than a larger one, so one that does holds a figure with a digit too
// many or too few, even when no figure is ten times the median of three.
void warnClassOrder(const QString& file, const QStringList& prices, const QHash<int, velmora::data::TableFinding>& damaged)
{
    static const QStringList classes = {QStringLiteral("10t"), QStringLiteral("4t"), QStringLiteral("2t")};
    if (damaged.contains(-1) || prices.size() < classes.size())
        return;
    for (int i = 1; i < classes.size(); ++i) {
        if (damaged.contains(i) || damaged.contains(i - 1))
            continue;
        const long long larger = *velmora::data::TableInteger(prices.at(i - 1));
        const long long smaller = *velmora::data::TableInteger(prices.at(i));
        if (smaller > larger)
            velmora::data::reportFinding({file, i + 2, prices.at(i),
                                          QStringLiteral("%1 の単価が %2 行目の %3 の単価 %4 より高くなっています（桁の誤りを確かめてください）。このまま計算します。")
                                              .arg(classes.at(i))
                                              .arg(i + 1)
                                              .arg(classes.at(i - 1), prices.at(i - 1)),
                                          velmora::data::FindingLevel::Warning});
    }
}

// A smaller truck burns less diesel a day (the second quantity, litres)
// than a larger one; the four sections are too few for a median to tell a
// figure with a digit too many.
void warnFuelOrder(const velmora::data::IniFile& ini)
{
    static const QStringList sections = {QStringLiteral("ﾀﾞﾝﾌﾟﾄﾗｯｸ10t数量"), QStringLiteral("ﾀﾞﾝﾌﾟﾄﾗｯｸ4t数量"),
                                         QStringLiteral("ﾀﾞﾝﾌﾟﾄﾗｯｸ2t数量")};
    std::optional<long long> larger;
    for (qsizetype k = 0; k < sections.size(); ++k) {
        const QStringList lines = ini.sectionLines(sections.at(k));
        const std::optional<long long> litres = lines.size() == 4 ? velmora::data::TableInteger(lines.at(1)) : std::nullopt;
        const std::vector<int> numbers = ini.sectionLineNumbers(sections.at(k));
        if (litres && larger && *larger > 0 && *litres > *larger)
            velmora::data::reportFinding({QuantitiesFile, numbers.size() > 1 ? numbers[1] : 0, lines.at(1),
                                          QStringLiteral("[%1] の 2 番目の数量（軽油）が [%2] の %3 より多くなっています（桁の誤りを確かめてください）。このまま計算します。")
                                              .arg(sections.at(k), sections.at(k - 1))
                                              .arg(*larger),
                                          velmora::data::FindingLevel::Warning});
        larger = litres;
    }
}

} // namespace

CDistrictUnitPrice::CDistrictUnitPrice()
{
    LoadR01();
    LoadT02();
    LoadS24();
    LoadS22();
    CheckQuantities();
}

bool CDistrictUnitPrice::LoadR01()
{
    QStringList lines;
    if (!ReadPriceFile(QStringLiteral("DR01"), lines))
        return false;
    // Only the second line is read; lines below it are notes.
    CheckPrices(QStringLiteral("DR01"), shippedFile(QStringLiteral("DR01")), lines.mid(1, 1), 1, MostWage);
    if (lines.size() < 2 || !damage.value(QStringLiteral("DR01")).isEmpty())
        return true;
    priceR01 = StrToInt(lines.at(1));
    return true;
}

bool CDistrictUnitPrice::LoadT02()
{
    if (!ReadPriceList(QStringLiteral("DT02"), pricesT02))
        return false;
    const QString file = shippedFile(QStringLiteral("DT02"));
    const QStringList districts = districtLines();
    // A district written twice, or an empty one, leaves its prices unknown.
    const QString districtFile = shippedFile(QStringLiteral("DA01"));
    for (qsizetype i = 0; i < districts.size(); ++i) {
        const qsizetype first = districts.indexOf(districts.at(i));
        QString problem;
        if (districts.at(i).trimmed().isEmpty())
            problem = QStringLiteral("地区名が空欄です。この地区の単価は使いません。");
        else if (first != i)
            problem = QStringLiteral("地区名が %1 行目と重なっています。この地区の単価は使いません。").arg(first + 2);
        if (!problem.isEmpty()) {
            const velmora::data::TableFinding f{districtFile, static_cast<int>(i + 2), districts.at(i), problem};
            velmora::data::reportFinding(f);
            damage[QStringLiteral("DT02")].insert(static_cast<int>(i), f);
            damage[QStringLiteral("DT02")].insert(static_cast<int>(first), f);
        }
    }
    CheckPrices(QStringLiteral("DT02"), file, pricesT02, districts.isEmpty() ? -1 : static_cast<int>(districts.size()),
                MostFuelPrice);
    return true;
}

bool CDistrictUnitPrice::LoadS24()
{
    if (!ReadPriceList(QStringLiteral("DS24"), pricesS24))
        return false;
    const QString file = shippedFile(QStringLiteral("DS24"));
    CheckPrices(QStringLiteral("DS24"), file, pricesS24, 3, MostTruckPrice);
    warnClassOrder(file, pricesS24, damage.value(QStringLiteral("DS24")));
    return true;
}

bool CDistrictUnitPrice::LoadS22()
{
    if (!ReadPriceList(QStringLiteral("DS22"), pricesS22))
        return false;
    const QString file = shippedFile(QStringLiteral("DS22"));
    CheckPrices(QStringLiteral("DS22"), file, pricesS22, 3, MostTruckPrice);
    warnClassOrder(file, pricesS22, damage.value(QStringLiteral("DS22")));
    return true;
}

// Each price is a whole number of yen, above zero and below `mostPrice`;
// a list whose length no longer matches what it pairs with (districts,
// the three truck classes) is left out whole: which line belongs to which
// district cannot be known any more.
void CDistrictUnitPrice::CheckPrices(const QString& key, const QString& file, const QStringList& prices,
                                     int expectedCount, long long mostPrice)
{
    using velmora::data::TableFinding;
    auto& damaged = damage[key];
    // Trailing empty lines are a common leftover of editing, not a price; but
    // an emptied last price is still the last district's or class's line.
    qsizetype count = prices.size();
    while (count > std::max(expectedCount, 0) && prices.at(count - 1).isEmpty())
        --count;
    if (expectedCount >= 0 && count != expectedCount) {
        const QString pairsWith = key == QStringLiteral("DT02") ? QStringLiteral("地区（%1）の数").arg(shippedFile(QStringLiteral("DA01")))
                                                                : QStringLiteral("ダンプトラック区分の数");
        const TableFinding f{file, 0, QString::number(count),
                             QStringLiteral("単価の行が %1 行あり、%2 %3 と合いません（行の抜けや重なりを確かめてください）。この表の単価は使いません。")
                                 .arg(count)
                                 .arg(pairsWith)
                                 .arg(expectedCount)};
        velmora::data::reportFinding(f);
        damaged.insert(-1, f);
    }
    std::vector<double> values;
    std::vector<int> valueIndexes;
    for (int i = 0; i < count; ++i) {
        QString why;
        const std::optional<long long> value = velmora::data::TableInteger(prices.at(i), &why);
        QString problem;
        if (!value)
            problem = QStringLiteral("単価が%1。").arg(why);
        else if (*value <= 0 || *value > mostPrice)
            problem = QStringLiteral("単価が 1〜%1 円の範囲にありません。").arg(mostPrice);
        if (!problem.isEmpty()) {
            const TableFinding f{file, i + 2, prices.at(i), problem + QStringLiteral("この単価を使う計算は運搬費を出しません。")};
            velmora::data::reportFinding(f);
            damaged.insert(i, f);
            continue;
        }
        values.push_back(static_cast<double>(*value));
        valueIndexes.push_back(i);
    }
    for (std::size_t k : velmora::data::FarOffValues(values)) {
        const int i = valueIndexes[k];
        velmora::data::reportFinding({file, i + 2, prices.at(i),
                                      QStringLiteral("単価がほかの行の 10 倍以上または 10 分の 1 以下です（%1）。このまま計算します。")
                                          .arg(velmora::data::UsualRangeText(values)),
                                      velmora::data::FindingLevel::Warning});
    }
}

// The quantities are read again for every calculation; a damaged one is
// named once at start, with the others.
void CDistrictUnitPrice::CheckQuantities() const
{
    const velmora::data::IniFile ini = velmora::data::IniFile::load(Paths::dataDirectory() + QuantitiesFile);
    if (!ini.exists())
        return;
    // The same line of every section, for telling a figure ten times off.
    std::array<std::vector<double>, 4> rows;
    std::array<std::vector<std::pair<QString, int>>, 4> rowLines;
    for (const QString& section : ini.sectionNames()) {
        const QStringList lines = ini.sectionLines(section);
        const std::vector<int> numbers = ini.sectionLineNumbers(section);
        if (lines.size() != 4)
            velmora::data::reportFinding(QuantitiesSectionFinding(section, lines.size(), numbers));
        for (qsizetype i = 0; i < lines.size() && i < 4; ++i) {
            const int line = i < static_cast<qsizetype>(numbers.size()) ? numbers[static_cast<std::size_t>(i)] : 0;
            QString why;
            bool bad = false;
            if (i < 2) {
                const std::optional<long long> q = velmora::data::TableInteger(lines.at(i), &why);
                bad = !q || *q < 0 || *q > MostWholeQuantity;
            } else {
                const std::optional<double> q = velmora::data::TableDecimal(lines.at(i), &why);
                bad = !q || *q < 0 || *q > MostQuantityFactor;
            }
            if (!bad) {
                rows[static_cast<std::size_t>(i)].push_back(StrToFloat(lines.at(i)));
                rowLines[static_cast<std::size_t>(i)].push_back({lines.at(i), line});
            }
            if (bad)
                velmora::data::reportFinding({QuantitiesFile, line, lines.at(i),
                                              QStringLiteral("[%1] の %2 番目の数量が%3。この数量を使う計算は運搬費を出しません。")
                                                  .arg(section)
                                                  .arg(i + 1)
                                                  .arg(why.isEmpty() ? QStringLiteral("範囲外です") : why)});
        }
    }
    warnFuelOrder(ini);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t k : velmora::data::FarOffValues(rows[r]))
            velmora::data::reportFinding({QuantitiesFile, rowLines[r][k].second, rowLines[r][k].first,
                                          QStringLiteral("数量がほかのセクションの同じ行の 10 倍以上または 10 分の 1 以下です（%1）。このまま計算します。")
                                              .arg(velmora::data::UsualRangeText(rows[r])),
                                          velmora::data::FindingLevel::Warning});
    }
}

velmora::data::TableFinding CDistrictUnitPrice::QuantitiesSectionFinding(const QString& section, qsizetype count,
                                                                     const std::vector<int>& numbers)
{
    return {QuantitiesFile, numbers.empty() ? 0 : numbers.front(), QString::number(count),
            QStringLiteral("[%1] の数量が %2 行あります（4 行のはずです。空欄や値の中の改行を確かめてください）。この数量を使う計算は運搬費を出しません。")
                .arg(section)
                .arg(count)};
}

int CDistrictUnitPrice::PriceAt(const QStringList& prices, const QString& key, int index) const
{
    const auto damaged = damage.constFind(key);
    if (damaged != damage.constEnd()) {
        if (damaged->contains(-1))
            throw velmora::data::TableDamage(damaged->value(-1));
        if (damaged->contains(index))
            throw velmora::data::TableDamage(damaged->value(index));
    }
    if (index < 0 || index >= prices.size())
        throw velmora::Error(QStringLiteral("単価データ %1 に %2 番目の単価がありません。").arg(key).arg(index + 1));
    return StrToInt(prices.at(index));
}

int CDistrictUnitPrice::GetPriceR01() const
{
    const auto damaged = damage.constFind(QStringLiteral("DR01"));
    if (damaged != damage.constEnd() && !damaged->isEmpty())
        throw velmora::data::TableDamage(damaged->constBegin().value());
    return priceR01;
}

int CDistrictUnitPrice::GetPriceT02(int district) const { return PriceAt(pricesT02, QStringLiteral("DT02"), district); }

int CDistrictUnitPrice::GetPriceS24(int truckClass) const { return PriceAt(pricesS24, QStringLiteral("DS24"), truckClass); }

int CDistrictUnitPrice::GetPriceS22(int truckClass) const { return PriceAt(pricesS22, QStringLiteral("DS22"), truckClass); }

int CDistrictUnitPrice::ReadQuantities(int costItem, int transportType)
{
    // Quantities of an earlier call must never stand in for the ones asked for.
    quantities.clear();
    quantitiesSection.clear();

    QString section;
    int truckClass = 0;
    const bool concrete = costItem == 0 || costItem == 1;
    if (concrete && transportType == 0) {
        section = QStringLiteral("ﾀﾞﾝﾌﾟﾄﾗｯｸ10t数量");
        truckClass = 0;
    } else if (concrete && transportType == 1) {
        section = QStringLiteral("ﾀﾞﾝﾌﾟﾄﾗｯｸ4t数量");
        truckClass = 1;
    } else if (concrete && (transportType == 2 || transportType == 3)) {
        section = QStringLiteral("ﾀﾞﾝﾌﾟﾄﾗｯｸ2t数量");
        truckClass = 2;
    } else if (!concrete && (transportType == 0 || transportType == 3)) {
        section = QStringLiteral("ﾀﾞﾝﾌﾟﾄﾗｯｸ10t数量");
        truckClass = 0;
    } else if (!concrete && transportType == 1) {
        section = QStringLiteral("ﾀﾞﾝﾌﾟﾄﾗｯｸ4t数量");
        truckClass = 1;
    } else if (!concrete && transportType == 2) {
        section = QStringLiteral("ﾀﾞﾝﾌﾟﾄﾗｯｸ2t数量");
        truckClass = 2;
    } else if (!concrete && transportType == 4) {
        section = QStringLiteral("ﾀﾞﾝﾌﾟﾄﾗｯｸ10t(路面切削)");
        truckClass = 0;
    } else {
        throw velmora::Error(QStringLiteral("処分費目 (番号 %1) と運搬種別 (番号 %2) の組み合わせには、%3 にダンプトラックの数量がありません。")
                                 .arg(costItem)
                                 .arg(transportType)
                                 .arg(QuantitiesFile));
    }

    quantities = velmora::data::IniFile::load(Paths::dataDirectory() + QuantitiesFile).sectionLines(section);
    quantitiesSection = section;
    return truckClass;
}

int CDistrictUnitPrice::GetDumpTruckCost(int district, int costItem, int transportType)
{
    const int truckClass = ReadQuantities(costItem, transportType);
    if (quantities.size() != 4) {
        const velmora::data::IniFile ini = velmora::data::IniFile::load(Paths::dataDirectory() + QuantitiesFile);
        // Named with the other missing files at start-up; the rows say it too.
        if (!ini.exists())
            throw velmora::data::TableDamage({QuantitiesFile, 0, QString(),
                                              QStringLiteral("ファイルがありません。この数量を使う計算は運搬費を出しません。")});
        throw velmora::data::TableDamage(QuantitiesSectionFinding(quantitiesSection, quantities.size(), ini.sectionLineNumbers(quantitiesSection)));
    }
    const velmora::data::IniFile ini = velmora::data::IniFile::load(Paths::dataDirectory() + QuantitiesFile);
    const std::vector<int> numbers = ini.sectionLineNumbers(quantitiesSection);
    for (int i = 0; i < 4; ++i) {
        const bool whole = i < 2;
        const bool good = whole ? velmora::data::TableInteger(quantities.at(i)).has_value()
                                : velmora::data::TableDecimal(quantities.at(i)).has_value();
        const double value = good ? StrToFloat(quantities.at(i)) : -1;
        if (!good || value < 0 || value > (whole ? MostWholeQuantity : MostQuantityFactor)) {
            const int line = i < static_cast<int>(numbers.size()) ? numbers[static_cast<std::size_t>(i)] : 0;
            throw velmora::data::TableDamage({QuantitiesFile, line, quantities.at(i),
                                              QStringLiteral("[%1] の %2 番目の数量が読めません。").arg(quantitiesSection).arg(i + 1)});
        }
    }
    const int q1 = StrToInt(quantities.at(0));
    const int q2 = StrToInt(quantities.at(1));
    // Quantities as the exact decimals their texts write: 1.13 is 1.13, not
    // the double just below it, so 11000 × 1.13 comes to 12430, not 12429.
    const Decimal q3 = Decimal::fromTableFigure(quantities.at(2));
    const Decimal q4 = Decimal::fromTableFigure(quantities.at(3));

    const long long t1 = static_cast<long long>(GetPriceR01()) * q1;
    const long long t2 = static_cast<long long>(GetPriceT02(district)) * q2;
    // Each fractional product is formed exactly and rounded down on its own.
    const Decimal t3 = (Decimal::fromInt(GetPriceS24(truckClass)) * q3).floor();
    const Decimal t4 = (Decimal::fromInt(GetPriceS22(truckClass)) * q4).floor();
    return checkedInt(Decimal::fromInt(t1) + Decimal::fromInt(t2) + t3 + t4);
}

void CDistrictUnitPrice::SetPrices(int r01, const QStringList& t02, const QStringList& s24, const QStringList& s22)
{
    priceR01 = r01;
    pricesT02 = t02;
    pricesS24 = s24;
    pricesS22 = s22;
}
