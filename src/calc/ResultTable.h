#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class CDisplayCalcResultList;

namespace velmora::calc {

enum class TableFormat { Tsv, Csv };

// The header of a written table: the grid's column headers on one line each
// (a line break inside a header cell would split the row in a spreadsheet),
// and "No." over the position column, which has no header in the grid; a
// last column says where each transport distance came from.
QStringList ResultTableHeader();

// The grid's cell texts of every row of `list`, in list order, and where its
// transport distance came from. Walks the
// list's shared cursor.
QList<QStringList> ResultTableRows(CDisplayCalcResultList& list);

// The lines a written table begins with, one cell each, before its header:
// Google's attribution (for `year`) when a row's transport distance was read
// from the route page, none otherwise. Walks the list's shared cursor.
QStringList ResultTableNotes(CDisplayCalcResultList& list, int year);

// The table as text. TSV: tab-separated, LF line ends; a tab or line break
// inside a cell becomes a space, since TSV has no quoting. CSV: CR LF line
// ends, cells quoted when they hold a comma, a quote or a line break, quotes
// doubled.
QString TableText(const QStringList& header, const QList<QStringList>& rows, TableFormat format,
                  const QStringList& notes = {});

// TableText as file bytes: UTF-8, and for CSV a byte-order mark first, so
// that spreadsheet programs read the Japanese names as UTF-8 and not in the
// ANSI code page.
QByteArray WriteTable(const QStringList& header, const QList<QStringList>& rows, TableFormat format,
                      const QStringList& notes = {});

} // namespace velmora::calc
