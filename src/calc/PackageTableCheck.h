#pragma once

#include "data/TableFindings.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace velmora::calc {

// The construction-package table checked group by group: every row has its
// fields, every figure is a plain number in its range, the band limits rise
// and reach 60 km. Each problem is reported as a finding; the result holds,
// by the index of a damaged group's first row, the finding that leaves the
// group out (the other groups price as written).
QHash<int, velmora::data::TableFinding> CheckPackageTable(const QStringList& lines, const QString& file);

} // namespace velmora::calc
