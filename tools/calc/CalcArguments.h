#pragma once

#include "calc/ResultTable.h"
#include "data/Error.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The command line of velmora-calc: the conditions an estimator sets in the
// condition panel, the job site, and the values typed into the result grid.
namespace velmora::tools {

// A command line that cannot be run; the message names the argument.
class ArgumentError : public velmora::Error
{
public:
    using Error::Error;
};

enum class CalcMethod { Package, LabourRate };
using OutputFormat = velmora::calc::TableFormat;

// A value typed into the result grid for the row of one site, committed
// with Enter: the cell text exactly as given on the command line.
struct GridEdit
{
    enum class Column { TransportDistance, ManualFee };
    Column column;
    QString option; // "--distance" or "--fee", for messages
    QString siteName;
    QString text;
};

struct CalcArguments
{
    bool help = false;
    QString deployDir; // empty: the folder of the executable
    CalcMethod method = CalcMethod::Package;
    std::optional<int> district; // none: the saved default district, as at start-up
    int costItem = 0;
    int transportType = 0;
    int debrisWork = 0;
    int loading = 0;
    int refuse = 0;
    int loadClass = 0;
    bool dumpTruckCarry = true;
    bool did = false;
    QString xText;
    QString yText;
    double x = 0;
    double y = 0;
    int sortMode = 0; // 0 by amount, 1 by distance
    std::vector<GridEdit> edits;
    OutputFormat format = OutputFormat::Tsv;
    // The result as a GeoJSON map file instead of a table.
    bool geoJson = false;
    // A case file to calculate instead of the conditions and job site above,
    // and one to write the case calculated to.
    QString casePath;
    QString saveCasePath;
    // The condition and job-site options that were given, for refusing them
    // together with a case file.
    QStringList conditionOptions;
    // The construction-package options that were given, for refusing them
    // with the labour-rate method.
    QStringList packageOptions;
};

// `arguments` without the program name. ArgumentError on anything that the
// window would not let the estimator enter.
CalcArguments ParseCalcArguments(const QStringList& arguments);

QString CalcUsageText();

} // namespace velmora::tools
