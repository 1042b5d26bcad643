#pragma once

#include "Error.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// What the readers find wrong in the master tables, value by value. The
// tables are edited by hand in an office: a damaged value must cost its own
// site, district, truck class or band group and be named with its file, line
// and text, never be read as another number.
namespace velmora::data {

enum class FindingLevel {
    Error,   // the part is left out of the calculation
    Warning, // the value is used, but it is far outside its usual range
};

struct TableFinding
{
    QString file;    // as it lies in dat/ ("ET19.dat", "DTTankaSuryo.ini")
    int line = 0;    // from 1; 0 for the file as a whole
    QString value;   // the text as written
    QString problem; // what is wrong and what it costs
    FindingLevel level = FindingLevel::Error;

    bool operator==(const TableFinding& o) const
    {
        return file == o.file && line == o.line && value == o.value && problem == o.problem && level == o.level;
    }
};

// Kept until the loading is over (the three registers read the same table,
// so a finding already kept is not kept twice).
void reportFinding(const TableFinding& finding);
std::vector<TableFinding> takeFindings();
bool hasPendingFindings();

// "誤り: ET19.dat の 5 行目「4,500」: ..." (the value quoted as written, line
// breaks shown as ↵).
QString FindingText(const TableFinding& finding);
// The findings one to a line, the first `mostListed` of them, then "ほか N 件".
QString FindingsText(const std::vector<TableFinding>& findings, int mostListed = 20);
// The short reason a result row shows in place of its band.
QString RowReason(const TableFinding& finding);

// Raised where a calculation reaches a part left out because of a finding;
// the driver lists the rows unpriced with the reason instead of refusing.
class TableDamage : public velmora::Error
{
public:
    explicit TableDamage(const TableFinding& finding);
    const TableFinding& finding() const { return m_finding; }

private:
    TableFinding m_finding;
};

// The shipped name of a working file: "DT19.dat" comes from "ET19.dat".
QString ShippedFileName(const QString& workingPath);

// Numbers in the one form the tables use: ASCII digits, an optional leading
// minus, for decimals one "." between digits. A thousands separator, a
// decimal comma, full-width digits, blanks or line breaks are damage. On
// failure `why` says what is wrong with the text.
std::optional<long long> TableInteger(const QString& text, QString* why = nullptr);
std::optional<double> TableDecimal(const QString& text, QString* why = nullptr);

// Positions of the values about ten times (eight or more) above or below the median of
// the list (zeros and lists of fewer than three values are never judged).
std::vector<std::size_t> FarOffValues(const std::vector<double>& values);
// "通常は 150 前後" for the warning of a far-off value.
QString UsualRangeText(const std::vector<double>& values);

} // namespace velmora::data
