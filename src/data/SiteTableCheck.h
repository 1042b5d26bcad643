#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

// The disposal-site table and the coordinate table checked line by line
// before any register takes a site from them. Every problem is reported as a
// finding; a damaged line costs only its own site.
namespace velmora::data {

// Fields of a site line ("DT19"), split strictly at commas.
namespace SiteField {
constexpr int Count = 22;
constexpr int Number = 0;
constexpr int Key = 5;
constexpr int CostItem = 6;
constexpr int Name = 7;
constexpr int Fee = 10;
constexpr int FeeUnit = 11;
constexpr int PriceSource = 21;
} // namespace SiteField

// Largest fee a line may hold: fee plus transport cost must stay a whole
// number of yen that fits the totals.
constexpr long long MostDisposalFee = 10'000'000;

// The lines of the site table that no register may take (index from 0), and
// the site keys whose lines contradict each other (every line of such a key
// is left out). `costItemNames` are the texts of the three cost items.
struct SiteTableVerdict
{
    std::vector<bool> leftOut;
    QSet<QString> doubtfulKeys; // case-folded
};
SiteTableVerdict CheckSiteTable(const QStringList& lines, const QString& file, const QStringList& costItemNames);

// The coordinate lines by case-folded key (index from 0). Every line that
// cannot place its site is reported and its key left out (`reported`); a key
// written on two lines is left out with both.
struct CoordinateLines
{
    QHash<QString, qsizetype> lineOfKey;
    QSet<QString> reported;
};
CoordinateLines CheckCoordinateTable(const QStringList& lines, const QString& file);

// Plane coordinates (zone VI, metres) of Mie and the neighbouring prefectures
// within the 60 km search radius of a job site in Mie.
bool IsSiteWithinReach(double x, double y);

} // namespace velmora::data
