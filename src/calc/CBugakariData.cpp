#include "CBugakariData.h"

#include "ExactKm.h"

#include "data/Error.h"
#include "data/FindDataFileName.h"
#include "data/IniFile.h"
#include "data/NumberText.h"
#include "data/Paths.h"
#include "data/TextFiles.h"

using velmora::data::Decimal;
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
    const QString path = TablePath();
    LoadBands(IniFile::load(path, IniFile::Decode::AlwaysUtf16Le), velmora::data::ShippedFileName(path));
}

CBugakariData::CBugakariData(const QString& className, const IniFile& table, const QString& file)
    : name(className)
{
    LoadBands(table, file);
}

QString CBugakariData::TablePath()
{
    const QString dir = velmora::data::Paths::dataDirectory();
    return dir + FindDataFileName(QStringLiteral("DB01"), dir);
}

bool CBugakariData::CheckBands(const IniFile& table, const QString& file)
{
    using velmora::data::TableFinding;
    const auto leaveOut = [&](int line, const QString& value, const QString& problem) {
        damage = TableFinding{file, line, value, problem + QStringLiteral("歩掛方式のこの区分は運搬費を出しません。")};
        velmora::data::reportFinding(*damage);
        return false;
    };
    if (!table.exists())
        return true; // the decoder has told that the table is missing
    const QStringList lines = table.sectionLines(name);
    const std::vector<int> numbers = table.sectionLineNumbers(name);
    if (lines.isEmpty())
        return leaveOut(0, name, QStringLiteral("区分「%1」のセクションがないか空です。").arg(name));
    const std::vector<int> repeated = table.repeatedSectionLines(name);
    if (!repeated.empty())
        return leaveOut(repeated.front(), name, QStringLiteral("区分「%1」のセクションが二つあります。").arg(name));
    std::optional<double> previousLower;
    std::vector<double> values;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int line = i < static_cast<qsizetype>(numbers.size()) ? numbers[static_cast<std::size_t>(i)] : 0;
        const QStringList fields = velmora::data::SplitCommaText(lines.at(i));
        if (fields.size() != 2)
            return leaveOut(line, lines.at(i), QStringLiteral("「下限距離,数量」の 2 項目ではありません（項目 %1）。").arg(fields.size()));
        QString why;
        const std::optional<double> lower = velmora::data::TableDecimal(fields.at(0), &why);
        if (!lower)
            return leaveOut(line, fields.at(0), QStringLiteral("下限距離が%1。").arg(why));
        if (*lower < 0 || *lower >= DistanceLimitKm)
            return leaveOut(line, fields.at(0), QStringLiteral("下限距離が 0 以上 60 未満ではありません。"));
        if (previousLower && *lower <= *previousLower)
            return leaveOut(line, fields.at(0), QStringLiteral("下限距離が前の行より大きくなっていません（帯は近い順に並べます）。"));
        previousLower = lower;
        const std::optional<double> quantity = velmora::data::TableDecimal(fields.at(1), &why);
        if (!quantity)
            return leaveOut(line, fields.at(1), QStringLiteral("数量が%1。").arg(why));
        // Times the largest loading coefficient the quantity must stay a
        // decimal of four integer digits.
        if (*quantity < 0 || *quantity * 1.37 >= 10000)
            return leaveOut(line, fields.at(1), QStringLiteral("数量が 0 以上 7000 未満ではありません。"));
        values.push_back(*quantity);
    }
    for (std::size_t k : velmora::data::FarOffValues(values)) {
        const int line = k < numbers.size() ? numbers[k] : 0;
        velmora::data::reportFinding({file, line, lines.at(static_cast<qsizetype>(k)),
                                      QStringLiteral("区分「%1」の数量がほかの帯の 10 倍以上または 10 分の 1 以下です（%2）。このまま計算します。")
                                          .arg(name, velmora::data::UsualRangeText(values)),
                                      velmora::data::FindingLevel::Warning});
    }
    return true;
}

QString CBugakariData::DamageText() const
{
    return damage ? velmora::data::RowReason(*damage) : QString();
}

void CBugakariData::LoadBands(const IniFile& table, const QString& file)
{
    if (!CheckBands(table, file))
        return;
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

int CBugakariData::ShownBandAt(double km) const
{
    // Each row asks for its quantity and then for its band's text, with one
    // distance: the second question is answered from the first.
    if (lastBand && lastBand->first == km)
        return lastBand->second;
    const ExactKm shown = ExactKm::shown(km);
    static const ExactKm limit = ExactKm::fromInt(static_cast<int>(DistanceLimitKm));
    const int band = shown > limit ? BeyondLimit : BandIndexAt(shown);
    lastBand.emplace(km, band);
    return band;
}

double CBugakariData::QuantityAt(double km) const
{
    const int i = ShownBandAt(km);
    if (i == BeyondLimit)
        return OverLimitQuantity;
    return i < 0 ? 0 : StrToFloat(quantities.at(i));
}

QString CBugakariData::BandTextAt(double km) const
{
    const int i = ShownBandAt(km);
    if (i == BeyondLimit)
        return overLimitText();
    if (damage)
        return DamageText();
    if (i < 0)
        return bandSuffix();
    if (bandTexts.size() != static_cast<std::size_t>(upperBounds.size()))
        bandTexts.assign(static_cast<std::size_t>(upperBounds.size()), QString());
    QString& text = bandTexts[static_cast<std::size_t>(i)];
    if (text.isEmpty())
        text = FloatToStr(upperDoubles[static_cast<std::size_t>(i)]) + bandSuffix();
    return text;
}
