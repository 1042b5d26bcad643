#include "ResultRowTexts.h"

#include "CDisplayCalcResultData.h"
#include "COutputDataManager.h"
#include "ShownDistance.h"
#include "data/NumberText.h"

namespace velmora::calc {

const std::array<QString, ResultColumnCount>& ResultHeaderTexts()
{
    static const std::array<QString, ResultColumnCount> texts = {
        QString(),
        QStringLiteral("名称"),
        QStringLiteral("直接\r\n参考\r\n距離"),
        QStringLiteral("運搬\r\n距離"),
        QStringLiteral("確定\r\n距離"),
        QStringLiteral("方向"),
        QStringLiteral("処分費"),
        QStringLiteral("単位"),
        QStringLiteral("出典"),
        QStringLiteral("処分費\r\n手入力"),
        QStringLiteral("確定\r\n処分費"),
        QStringLiteral("運搬費"),
        QStringLiteral("合計"),
        QStringLiteral("順位"),
        QStringLiteral("運搬費が\r\n変更となる\r\n距離"),
    };
    return texts;
}

bool IsPerCubicMetre(const QString& feeUnit)
{
    return feeUnit.normalized(QString::NormalizationForm_KC).trimmed().compare(QStringLiteral("m3"), Qt::CaseInsensitive) == 0;
}

QString UnitCautionText()
{
    return QStringLiteral("単位注意");
}

QString FeeUnitText(const QString& feeUnit)
{
    if (IsPerCubicMetre(feeUnit))
        return feeUnit;
    return (feeUnit.trimmed() + u' ' + UnitCautionText()).trimmed();
}

QStringList ResultRowTexts(const CDisplayCalcResultData& row, int position)
{
    // An unranked row has neither total nor rank; a 0 there would read as a price.
    const auto blankWhenZero = [](int value) { return value == 0 ? QString() : IntToStr(value); };
    return {
        IntToStr(position),
        row.GetSiteName(),
        FloatToStr(row.GetStraightDistance()),
        FloatToStr(row.GetTransportDistance()),
        FloatToStr(row.GetConfirmedDistance()),
        row.GetDirection(),
        IntToStr(row.GetDisposalFee()),
        FeeUnitText(row.GetFeeUnit()),
        row.GetPriceSource(),
        IntToStr(row.GetManualFee()),
        IntToStr(row.GetConfirmedFee()),
        IntToStr(row.GetTransportCost()),
        blankWhenZero(row.GetTotal()),
        blankWhenZero(row.GetRank()),
        row.GetBandText(),
    };
}

namespace {

struct SourceWords
{
    QString mark;
    QString text;
    QString legend;
};

const SourceWords& WordsFor(CDisplayCalcResultData::DistanceSource source)
{
    static const SourceWords none;
    static const SourceWords routePage{QStringLiteral("＊"), QStringLiteral("GoogleMapsサイト"),
                                       QStringLiteral("＊ 運搬距離: GoogleMapsサイトから取得した道のり距離（Google Maps）")};
    static const SourceWords typed{QStringLiteral("＃"), QStringLiteral("手入力"),
                                   QStringLiteral("＃ 運搬距離: 手入力された距離")};
    switch (source) {
    case CDisplayCalcResultData::DistanceSource::RoutePage:
        return routePage;
    case CDisplayCalcResultData::DistanceSource::Typed:
        return typed;
    case CDisplayCalcResultData::DistanceSource::None:
        break;
    }
    return none;
}

} // namespace

QString DistanceSourceMark(CDisplayCalcResultData::DistanceSource source)
{
    return WordsFor(source).mark;
}

QString DistanceSourceText(CDisplayCalcResultData::DistanceSource source)
{
    return WordsFor(source).text;
}

QString DistanceSourceLegend(CDisplayCalcResultData::DistanceSource source)
{
    return WordsFor(source).legend;
}

QString GoogleAttributionText(int year)
{
    return QStringLiteral("Powered by Google, ©%1 Google").arg(year);
}

bool BeyondReach(const CDisplayCalcResultData& row)
{
    return ShownDistanceBeyond(row.GetTransportDistance(), COutputDataManager::SearchRadiusKm);
}

QString BeyondReachLegend()
{
    return QStringLiteral("上限値を超えています: 運搬距離が%1kmを超える処分場。運搬費の表にない距離のため運搬費 0、合計・順位なし。")
        .arg(COutputDataManager::SearchRadiusKm);
}

QString DistanceSourceHeader()
{
    return QStringLiteral("運搬距離の出所");
}

} // namespace velmora::calc
