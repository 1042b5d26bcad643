#include "CBugakariData.h"

#include "ExactKm.h"

#include "data/Error.h"
#include "data/FindDataFileName.h"
#include "data/IniFile.h"
#include "data/NumberText.h"
#include "data/Paths.h"
#include "data/TextFiles.h"

using velmora::calc::Decimal;
using velmora::calc::ExactKm;
using velmora::data::IniFile;

namespace {

// A band reaches up to just below the next band's lower end; the table is
// written in metres, so "just below" is one metre.
constexpr double BandGapKm = 0.001;

QString overLimitText() { return QStringLiteral("上限値を超えています"); }
QString bandSuffix() { return QStringLiteral("km以下"); }

} // namespace

CBugakariData::CBugakariData(const QString& className)
    : name(className)
{
    LoadBands(IniFile::load(TablePath(), IniFile::Decode::AlwaysUtf16Le));
}

CBugakariData::CBugakariData(const QString& className, const IniFile& table)
    : name(className)
{
    LoadBands(table);
}

QString CBugakariData::TablePath()
{
    const QString dir = velmora::data::Paths::dataDirectory();
    return dir + FindDataFileName(QStringLiteral("DB01"), dir);
}

void CBugakariData::LoadBands(const IniFile& table)
{
    const QStringList lines = table.sectionLines(name);
    for (const QString& line : lines) {
        const QStringList fields = velmora::data::SplitCommaText(line);
        if (fields.size() < 2) {
            throw velmora::ConvertError(
                QStringLiteral("歩掛表の「%1」の行 '%2' に距離と数量がありません。").arg(name, line));
        }
        lowerBounds << fields.at(0);
        quantities << fields.at(1);
    }
    for (qsizetype j = 1; j < lowerBounds.size(); ++j)
        upperBounds << FloatToStr(StrToFloat(lowerBounds.at(j)) - BandGapKm);
    if (!lowerBounds.isEmpty())
        upperBounds << FloatToStr(DistanceLimitKm);
}

void CBugakariData::ConvertBounds() const
{
    std::vector<ExactKm> lower;
    std::vector<ExactKm> upper;
    std::vector<double> upperAsDouble;
    lower.reserve(static_cast<std::size_t>(lowerBounds.size()));
    upper.reserve(static_cast<std::size_t>(upperBounds.size()));
    upperAsDouble.reserve(static_cast<std::size_t>(upperBounds.size()));
    for (qsizetype i = 0; i < lowerBounds.size(); ++i) {
        lower.emplace_back(Decimal::fromTableFigure(lowerBounds.at(i)));
        upper.emplace_back(Decimal::fromTableFigure(upperBounds.at(i)));
        upperAsDouble.push_back(StrToFloat(upperBounds.at(i)));
    }
    std::vector<std::int64_t> lowerUnits(lower.size());
    std::vector<std::int64_t> upperUnits(upper.size());
    bool fixed = true;
    for (std::size_t i = 0; i < lower.size(); ++i)
        fixed = fixed && lower[i].fixed(lowerUnits[i]) && upper[i].fixed(upperUnits[i]);
    lowerValues = std::move(lower);
    upperValues = std::move(upper);
    lowerFixed = std::move(lowerUnits);
    upperFixed = std::move(upperUnits);
    boundsFixed = fixed;
    upperDoubles = std::move(upperAsDouble);
    boundsConverted = true;
}

int CBugakariData::BandIndexAt(const ExactKm& km) const
{
    if (!boundsConverted)
        ConvertBounds();
    std::int64_t units = 0;
    if (boundsFixed && km.fixed(units)) {
        for (std::size_t i = 0; i < lowerFixed.size(); ++i) {
            if (lowerFixed[i] <= units && units <= upperFixed[i])
                return static_cast<int>(i);
        }
        return -1;
    }
    for (std::size_t i = 0; i < lowerValues.size(); ++i) {
        if (lowerValues[i] <= km && km <= upperValues[i])
            return static_cast<int>(i);
    }
    return -1;
}

double CBugakariData::QuantityAt(double km) const
{
    const ExactKm shown = ExactKm::shown(km);
    if (shown > ExactKm::fromInt(static_cast<int>(DistanceLimitKm)))
        return OverLimitQuantity;
    const int i = BandIndexAt(shown);
    return i < 0 ? 0 : StrToFloat(quantities.at(i));
}

QString CBugakariData::BandTextAt(double km) const
{
    const ExactKm shown = ExactKm::shown(km);
    if (shown > ExactKm::fromInt(static_cast<int>(DistanceLimitKm)))
        return overLimitText();
    const int i = BandIndexAt(shown);
    if (i < 0)
        return bandSuffix();
    if (bandTexts.size() != static_cast<std::size_t>(upperBounds.size()))
        bandTexts.assign(static_cast<std::size_t>(upperBounds.size()), QString());
    QString& text = bandTexts[static_cast<std::size_t>(i)];
    if (text.isEmpty())
        text = FloatToStr(upperDoubles[static_cast<std::size_t>(i)]) + bandSuffix();
    return text;
}
