#include "CDistrictUnitPrice.h"

#include "Decimal.h"
#include "Error.h"
#include "FindDataFileName.h"
#include "IniFile.h"
#include "Notifier.h"
#include "NumberText.h"
#include "Paths.h"
#include "TextFiles.h"

#include <climits>

using velmora::calc::Decimal;
using velmora::data::Paths;

namespace {

const QString QuantitiesFile = QStringLiteral("DTTankaSuryo.ini");

QString dataFilePath(const QString& key)
{
    const QString directory = Paths::dataDirectory();
    return directory + FindDataFileName(key, directory);
}

// The lines of a price file, or false after the open-failure warning.
bool readPriceFile(const QString& key, QStringList& lines)
{
    try {
        lines = velmora::data::ReadLineFile(dataFilePath(key));
    } catch (const velmora::FileOpenError& e) {
        velmora::data::notifier().warning(e.message(), QString());
        return false;
    }
    return true;
}

// A list file: the heading goes, one price per line stays.
bool readPriceList(const QString& key, QStringList& prices)
{
    if (!readPriceFile(key, prices))
        return false;
    if (prices.isEmpty())
        throw velmora::Error(QStringLiteral("単価データ %1 が空です。").arg(key));
    prices.removeFirst();
    return true;
}

int priceAt(const QStringList& prices, const QString& key, int index)
{
    if (index < 0 || index >= prices.size())
        throw velmora::Error(QStringLiteral("単価データ %1 に %2 番目の単価がありません。").arg(key).arg(index + 1));
    return StrToInt(prices.at(index));
}

// A cost that does not fit an int is a data error, not a wrapped-around figure.
int checkedInt(const Decimal& value)
{
    if (value > Decimal::fromInt(INT_MAX) || value < Decimal::fromInt(INT_MIN))
        throw velmora::OverflowError(QStringLiteral("ダンプトラック費用 %1 が大きすぎます。").arg(value.toString()));
    return static_cast<int>(value.toDouble());
}

} // namespace

CDistrictUnitPrice::CDistrictUnitPrice()
{
    LoadR01();
    LoadT02();
    LoadS24();
    LoadS22();
}

bool CDistrictUnitPrice::LoadR01()
{
    QStringList lines;
    if (!readPriceFile(QStringLiteral("DR01"), lines))
        return false;
    if (lines.size() < 2)
        throw velmora::Error(QStringLiteral("単価データ DR01 に単価の行がありません。"));
    priceR01 = StrToInt(lines.at(1));
    return true;
}

bool CDistrictUnitPrice::LoadT02() { return readPriceList(QStringLiteral("DT02"), pricesT02); }

bool CDistrictUnitPrice::LoadS24() { return readPriceList(QStringLiteral("DS24"), pricesS24); }

bool CDistrictUnitPrice::LoadS22() { return readPriceList(QStringLiteral("DS22"), pricesS22); }

int CDistrictUnitPrice::GetPriceT02(int district) const { return priceAt(pricesT02, QStringLiteral("DT02"), district); }

int CDistrictUnitPrice::GetPriceS24(int truckClass) const { return priceAt(pricesS24, QStringLiteral("DS24"), truckClass); }

int CDistrictUnitPrice::GetPriceS22(int truckClass) const { return priceAt(pricesS22, QStringLiteral("DS22"), truckClass); }

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
    if (quantities.size() < 4)
        throw velmora::Error(QStringLiteral("%1 の [%2] にダンプトラックの数量が 4 行そろっていません。").arg(QuantitiesFile, quantitiesSection));
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
