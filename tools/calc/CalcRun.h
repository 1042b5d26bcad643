#pragma once

#include "CalcArguments.h"

#include "calc/ResultPlaces.h"

#include <QList>
#include <QStringList>

namespace velmora::tools {

struct CalcTable
{
    QStringList header;
    QList<QStringList> rows; // the grid's cells, row by row in display order
    QStringList notes;       // for stderr: what the window would have said in a box
    QStringList headNotes;   // the lines the written table begins with, as the window's copy
    velmora::calc::ResultPlaces places; // the same rows where they lie, for the map file
};

// Loads the deployment into a private folder, runs the calculation the way
// the window's calculation button does, applies the grid edits one Enter at
// a time and returns the result table. ArgumentError when an index or a site
// name does not fit the deployment's lists or results; velmora::Error when
// the data or the calculation fails.
CalcTable RunCalc(const CalcArguments& arguments);

} // namespace velmora::tools
