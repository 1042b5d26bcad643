#pragma once

// Small synthetic tables for the method and driver tests: the figures are
// chosen so that every yen result can be worked out by hand.

#include "calc/CBugakariList.h"
#include "calc/COutputDataManager.h"
#include "calc/CSekouPackageData.h"
#include "data/CDistrictUnitPrice.h"
#include "data/CSyobunjoList.h"
#include "data/IniFile.h"
#include "support/TempDeployment.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace calctest {

// DB01 in INI form. "10t DID無" carries the quantities of the worked examples.
inline QString truckTableText()
{
    return QStringLiteral(
        "; labour-rate bands\r\n"
        "[10t DID無]\r\n"
        "0,1.23\r\n"
        "0.301,6.5\r\n"
        "0.501,0.35\r\n"
        "46.001,9.96\r\n"
        "[10t DID有]\r\n"
        "0,2.00\r\n"
        "[4t DID無]\r\n"
        "0,0.20\r\n"
        "[2t DID無 人力]\r\n"
        "0,0.79\r\n"
        "[切削10t DID無]\r\n"
        "0,1.08\r\n"
        "[直接掘削積込み10t DID無]\r\n"
        "0,1.29\r\n");
}

inline velmora::data::IniFile truckTable(const QString& text = truckTableText())
{
    return velmora::data::IniFile::fromBytes(velmora::test::TempDeployment::utf16le(text),
                                             velmora::data::IniFile::Decode::AlwaysUtf16Le);
}

// Truck-day prices: 10 t 45,000; 2 t 45,000 + 150 = 45,150; milling 45,000 + 2 × 150 = 45,300.
inline void writeQuantities(const velmora::test::TempDeployment& deployment)
{
    deployment.writeIni(QStringLiteral("dat/DTTankaSuryo.ini"),
                        QStringLiteral("[ﾀﾞﾝﾌﾟﾄﾗｯｸ10t数量]\r\n1\r\n0\r\n0\r\n0\r\n"
                                       "[ﾀﾞﾝﾌﾟﾄﾗｯｸ4t数量]\r\n1\r\n0\r\n0\r\n0\r\n"
                                       "[ﾀﾞﾝﾌﾟﾄﾗｯｸ2t数量]\r\n1\r\n1\r\n0\r\n0\r\n"
                                       "[ﾀﾞﾝﾌﾟﾄﾗｯｸ10t(路面切削)]\r\n1\r\n2\r\n0\r\n0\r\n"),
                        velmora::data::IniEncoding::Utf16LeBom);
}

// R01 45,000 (also the package method's labour price), district 0 at 150,
// district 1 at 149; dump-truck class prices 11,000 / 6,400 / 4,300.
inline std::unique_ptr<CDistrictUnitPrice> unitPrices()
{
    auto prices = std::make_unique<CDistrictUnitPrice>(CDistrictUnitPrice::NoFiles{});
    prices->SetPrices(45000, {QStringLiteral("150"), QStringLiteral("149")},
                      {QStringLiteral("11000"), QStringLiteral("6400"), QStringLiteral("4300")},
                      {QStringLiteral("731"), QStringLiteral("256"), QStringLiteral("178")});
    return prices;
}

// DSP2: five groups; the second carries the hand-worked example.
inline QStringList packageLines()
{
    return QStringList{
        QStringLiteral("施工パッケージ単価表"),
        QStringLiteral("【殻運搬(路面切削)／DID区間:無し】"),
        QStringLiteral("1,0.3,0,,,500,10,10,80,80,10,10,11000,45000,150"),
        QStringLiteral("2,60,,,,900"),
        QString(),
        QStringLiteral("【殻運搬／ｺﾝｸﾘｰﾄ(無筋･鉄筋)構造物とりこわし／機械積込／DID区間:無し】"),
        QStringLiteral("1,0.3,0,a,b,672.4,27.5,25.7,55.2,55.2,17.3,17.3,10800,26200,149"),
        QStringLiteral("2,5.0,,,,1406.2"),
        QStringLiteral("3,60,,,,6141"),
        QString(),
        QStringLiteral("【殻運搬／ｺﾝｸﾘｰﾄ(無筋･鉄筋)構造物とりこわし／機械積込／DID区間:有り】"),
        QStringLiteral("1,10,1,,,1234.5,20,10,20,20,10,10,10000,45000,150"),
        QStringLiteral("2,60,,,,12345.6"),
        QString(),
        QStringLiteral("【塵芥処理／可燃物／持込／DID区間:無し】"),
        QStringLiteral("1,60,2,,,1234.5,0,5,0,5,0,5,1,1,1"),
        QString(),
        QStringLiteral("【殻運搬(電線共同溝)／機械積込／DID区間:無し】"),
        QStringLiteral("1,60,0,,,6141,27.5,27.5,55.2,55.2,17.3,17.3,11000,45000,150"),
    };
}

// The site names of the rows in list order.
inline QStringList rowNames(CDisplayCalcResultList& list)
{
    QStringList out;
    for (list.MoveFirst(); !list.IsEnd(); list.MoveNext())
        out << list.Current().GetSiteName();
    return out;
}

struct SiteSpec
{
    QString name;
    double x;
    double y;
    int fee;
};

inline std::unique_ptr<CSyobunjoList> siteRegister(const QList<SiteSpec>& specs)
{
    auto reg = std::make_unique<CSyobunjoList>(-1);
    for (const SiteSpec& spec : specs) {
        auto site = std::make_unique<CSyobunjoData>();
        site->SetSiteName(spec.name);
        site->SetXValue(spec.x);
        site->SetYValue(spec.y);
        site->SetDisposalFeeValue(spec.fee);
        site->SetFeeUnit(QStringLiteral("m3"));
        site->SetPriceSource(QStringLiteral("見積"));
        reg->AddSite(std::move(site));
    }
    return reg;
}

} // namespace calctest
