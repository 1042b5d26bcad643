#pragma once

#include "CalcArguments.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace velmora::tools {

// The table as bytes. TSV: UTF-8, tab-separated, LF line ends; a tab or
// line break inside a cell becomes a space, since TSV has no quoting. CSV:
// UTF-8 with a byte-order mark (so spreadsheet programs read it as
// Japanese), CR LF line ends, cells quoted when they hold a comma, a quote
// or a line break, quotes doubled.
QByteArray WriteTable(const QStringList& header, const QList<QStringList>& rows, OutputFormat format);

} // namespace velmora::tools
