#include "SiteTableCheck.h"

#include "MatchesCostItem.h"
#include "NumberText.h"
#include "TableFindings.h"
#include "TextFiles.h"
#include "geo/CCoordinatesConvert.h"

#include <cmath>

namespace velmora::data {

namespace {

void report(const QString& file, qsizetype index, const QString& value, const QString& problem,
            FindingLevel level = FindingLevel::Error)
{
    reportFinding({file, static_cast<int>(index + 1), value, problem, level});
}

QString siteOf(const QStringList& fields)
{
    return QStringLiteral("処分場 %1「%2」").arg(fields.at(SiteField::Key), fields.at(SiteField::Name));
}

// The coordinate table also carries each site's latitude and longitude
// (fields 4 and 5), which the calculation does not read. A plane coordinate
// negated, shifted or mistyped may still lie near Mie, but no longer where
// the same line's latitude and longitude put the site. The tolerance leaves
// room for latitudes written in the old Tokyo datum (some 450 m off).
constexpr double MostLatLonGapKm = 2;

void warnIfFarFromLatLon(const QString& file, qsizetype index, const QStringList& fields, double x, double y)
{
    if (fields.size() < 6)
        return;
    const std::optional<double> latitude = TableDecimal(fields.at(4));
    const std::optional<double> longitude = TableDecimal(fields.at(5));
    if (!latitude || !longitude)
        return;
    double planeLatitude = 0;
    double planeLongitude = 0;
    CCoordinatesConvert().PlaneToLatLon(x, y, planeLatitude, planeLongitude);
    constexpr double KmPerDegree = 111.2;
    constexpr double DegreesToRadians = 3.14159265358979323846 / 180;
    const double north = (planeLatitude - *latitude) * KmPerDegree;
    const double east = (planeLongitude - *longitude) * KmPerDegree * std::cos(*latitude * DegreesToRadians);
    const double gapKm = std::hypot(north, east);
    if (!(gapKm <= MostLatLonGapKm))
        report(file, index, fields.at(2) + u',' + fields.at(3),
               QStringLiteral("座標が同じ行の緯度・経度（%1, %2）から %3 km 離れています（符号、小数点、X と Y の取り違えを確かめてください）。処分場 %4 はこのまま計算します。")
                   .arg(fields.at(4), fields.at(5), QString::number(gapKm, 'f', 1), fields.at(1)),
               FindingLevel::Warning);
}

// A deleted site line leaves no trace in what is left, except in the "No"
// column where the office numbers its lines: when every step is one but a
// single step of two, the line of the skipped number is most likely gone.
// Tables numbered any other way are not judged.
void warnIfLineMissing(const QString& file, const std::vector<std::pair<long long, qsizetype>>& numbers)
{
    std::optional<std::size_t> gap;
    for (std::size_t k = 1; k < numbers.size(); ++k) {
        const long long step = numbers[k].first - numbers[k - 1].first;
        if (step == 1)
            continue;
        if (step != 2 || gap)
            return;
        gap = k;
    }
    if (!gap || numbers.size() < 3)
        return;
    const auto& [number, index] = numbers[*gap];
    report(file, index, QString::number(number),
           QStringLiteral("No が %1 の次に %2 になっています。No %3 の処分場の行が消えていないか確かめてください。このまま計算します。")
               .arg(number - 2)
               .arg(number)
               .arg(number - 1),
           FindingLevel::Warning);
}

} // namespace

SiteTableVerdict CheckSiteTable(const QStringList& lines, const QString& file, const QStringList& costItemNames)
{
    SiteTableVerdict verdict;
    verdict.leftOut.assign(static_cast<std::size_t>(lines.size()), false);
    QHash<QString, qsizetype> nameLineOfKey; // the first line of each key
    QHash<QString, qsizetype> lineOfKeyAndItem;
    std::vector<double> fees;
    std::vector<qsizetype> feeLines;
    bool headingSeen = false;
    std::vector<std::pair<long long, qsizetype>> numbers; // "No" and line
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        if (line.isEmpty())
            continue;
        auto leaveOut = [&](const QString& value, const QString& problem) {
            verdict.leftOut[static_cast<std::size_t>(i)] = true;
            report(file, i, value, problem);
        };
        const QStringList fields = SplitStrict(line);
        // A line without a single comma is a note above the table, no site.
        if (fields.size() == 1)
            continue;
        if (fields.size() != SiteField::Count) {
            leaveOut(line, QStringLiteral("項目の数が %1 です（%2 のはずです。値の中のカンマや改行、項目の抜けを確かめてください）。この行の処分場は計算から外しました。")
                               .arg(fields.size())
                               .arg(SiteField::Count));
            continue;
        }
        if (const std::optional<long long> number = TableInteger(fields.at(SiteField::Number)))
            numbers.push_back({*number, i});
        const QString& costItem = fields.at(SiteField::CostItem);
        QList<int> matched;
        for (int k = 0; k < costItemNames.size(); ++k)
            if (MatchesCostItem(costItem, costItemNames.at(k)))
                matched.append(k);
        if (matched.isEmpty()) {
            // The heading line names no cost item and comes before every site.
            if (!headingSeen && nameLineOfKey.isEmpty()) {
                headingSeen = true;
                continue;
            }
            leaveOut(costItem, QStringLiteral("処分費目がどの処分費目（SyobunjoKikakuSource.ini）にも当たりません。%1 は計算から外しました。").arg(siteOf(fields)));
            continue;
        }
        if (matched.size() > 1) {
            leaveOut(costItem, QStringLiteral("処分費目が二つ以上の処分費目に当たります。%1 は計算から外しました。").arg(siteOf(fields)));
            continue;
        }
        const QString& feeText = fields.at(SiteField::Fee);
        QString why;
        const std::optional<long long> fee = TableInteger(feeText, &why);
        if (!fee) {
            leaveOut(feeText, QStringLiteral("処分費が%1。%2 は計算から外しました。").arg(why, siteOf(fields)));
            continue;
        }
        if (*fee < 0 || *fee > MostDisposalFee) {
            leaveOut(feeText, QStringLiteral("処分費が 0〜%1 円の範囲にありません。%2 は計算から外しました。").arg(MostDisposalFee).arg(siteOf(fields)));
            continue;
        }
        const QString key = fields.at(SiteField::Key).toCaseFolded();
        if (key.trimmed().isEmpty()) {
            leaveOut(fields.at(SiteField::Key), QStringLiteral("処分場コードが空欄です。%1 は計算から外しました。").arg(siteOf(fields)));
            continue;
        }
        // One key is one place: every line of it names the same site, and
        // a site lists each cost item once.
        const auto named = nameLineOfKey.constFind(key);
        if (named == nameLineOfKey.constEnd()) {
            nameLineOfKey.insert(key, i);
        } else if (SplitStrict(lines.at(named.value())).at(SiteField::Name) != fields.at(SiteField::Name)) {
            verdict.doubtfulKeys.insert(key);
            leaveOut(fields.at(SiteField::Key), QStringLiteral("処分場コードが %1 行目の「%2」と重なっています。このコードの処分場はすべて計算から外しました。")
                                                    .arg(named.value() + 1)
                                                    .arg(SplitStrict(lines.at(named.value())).at(SiteField::Name)));
            continue;
        }
        const QString keyAndItem = key + u'\n' + QString::number(matched.first());
        if (lineOfKeyAndItem.contains(keyAndItem)) {
            verdict.doubtfulKeys.insert(key);
            leaveOut(fields.at(SiteField::Key), QStringLiteral("同じ処分場と処分費目の行が %1 行目にもあります。この処分場はすべて計算から外しました。")
                                                    .arg(lineOfKeyAndItem.value(keyAndItem) + 1));
            continue;
        }
        lineOfKeyAndItem.insert(keyAndItem, i);
        fees.push_back(static_cast<double>(*fee));
        feeLines.push_back(i);
    }
    for (std::size_t k : FarOffValues(fees))
        report(file, feeLines[k], SplitStrict(lines.at(feeLines[k])).at(SiteField::Fee),
               QStringLiteral("処分費がほかの処分場の 10 倍以上または 10 分の 1 以下です（%1）。このまま計算します。").arg(UsualRangeText(fees)),
               FindingLevel::Warning);
    warnIfLineMissing(file, numbers);
    // An emptied or garbled table lists no site at all; every calculation
    // would then find none within 60 km with no word at start-up.
    if (numbers.empty() && nameLineOfKey.isEmpty())
        report(file, -1, QString::number(lines.size()),
               QStringLiteral("処分場の行が一つもありません（ファイルが壊れていないか確かめてください）。"));
    return verdict;
}

bool IsSiteWithinReach(double x, double y)
{
    // The prefecture spans about X −252 km to −80 km and Y −15 km to 90 km;
    // 60 km around that reaches into every neighbouring prefecture.
    return x >= -315000 && x <= -20000 && y >= -75000 && y <= 150000;
}

CoordinateLines CheckCoordinateTable(const QStringList& lines, const QString& file)
{
    QHash<QString, qsizetype> lineOfKey;
    QSet<QString> repeated;
    qsizetype fieldCount = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines.at(i).trimmed().isEmpty())
            continue;
        const QStringList fields = SplitCommaText(lines.at(i));
        if (fieldCount < 0) {
            // The heading line gives the number of fields every line has.
            fieldCount = fields.size();
            if (fields.size() >= 4 && !TableDecimal(fields.at(2)))
                continue;
        }
        if (fields.size() < 4 || fields.size() != fieldCount) {
            if (fields.size() >= 2)
                repeated.insert(fields.at(1).toCaseFolded());
            report(file, i, lines.at(i), QStringLiteral("項目の数が %1 です（%2 のはずです）。この行の処分場は計算から外しました。").arg(fields.size()).arg(fieldCount));
            continue;
        }
        const QString key = fields.at(1).toCaseFolded();
        if (key.isEmpty()) {
            report(file, i, lines.at(i), QStringLiteral("処分場コードがありません。"));
            continue;
        }
        QString why;
        const std::optional<double> x = TableDecimal(fields.at(2), &why);
        const std::optional<double> y = x ? TableDecimal(fields.at(3), &why) : std::nullopt;
        if (!x || !y) {
            report(file, i, x ? fields.at(3) : fields.at(2), QStringLiteral("座標が%1。処分場 %2 は計算から外しました。").arg(why, fields.at(1)));
            repeated.insert(key);
            continue;
        }
        if (!IsSiteWithinReach(*x, *y)) {
            report(file, i, fields.at(2) + u',' + fields.at(3),
                   QStringLiteral("座標が三重県とその周辺の範囲（X −315000〜−20000、Y −75000〜150000）にありません（符号、小数点、X と Y の取り違えを確かめてください）。処分場 %1 は計算から外しました。")
                       .arg(fields.at(1)));
            repeated.insert(key);
            continue;
        }
        warnIfFarFromLatLon(file, i, fields, *x, *y);
        if (lineOfKey.contains(key)) {
            report(file, i, fields.at(1), QStringLiteral("処分場コードが %1 行目と重なっています。この処分場は計算から外しました。").arg(lineOfKey.value(key) + 1));
            repeated.insert(key);
            continue;
        }
        lineOfKey.insert(key, i);
    }
    // A key with a damaged or second line has no trustworthy place.
    for (const QString& key : repeated)
        lineOfKey.remove(key);
    return {lineOfKey, repeated};
}

} // namespace velmora::data
