#pragma once

#include "EvidenceSheet.h"
#include "MainWindowState.h"
#include "calc/ResultPlaces.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>

class QPushButton;
class QWidget;

namespace velmora::ui {

class ConditionPanel;

// The conditions on the panel as the calculation button reads them, in the
// panel's own words; the job site converted as the calculation converts it.
EvidenceConditions ReadEvidenceConditions(const ConditionPanel& panel, int calcMode, const QDateTime& when);

// Takes the result out of the window: the table to the clipboard or a CSV
// file, and the evidence sheet to a PDF file or a printer. All of them show
// the list last shown in the grid, with the figures as they were committed;
// a value typed into a cell but not confirmed with Enter is not a result.
class ResultExport
{
public:
    ResultExport(MainWindowState& state, const ConditionPanel& panel, QWidget* window);

    // Run after each calculation from the panel: later exports describe the
    // conditions that result came from, even when the estimator has since
    // changed the panel without calculating again.
    void RememberConditions();
    const EvidenceConditions& conditions() const { return m_conditions; }
    // The bid case of the calculation just remembered; empty texts for none.
    void RememberBidCase(const QString& number, const QString& name);
    // What changed since the reopened case was saved, for the evidence sheet
    // of this calculation; a new calculation forgets it.
    void RememberCaseChanges(const QStringList& changes);

    // The table as pasted into a spreadsheet and as written to a file.
    QString TableTsv();
    QByteArray TableCsv();
    EvidenceSheetData SheetData();

    // The buttons. False when nothing was written: no result yet, the dialog
    // was cancelled, or the file failed (the estimator has been told).
    bool CopyTable();
    bool SaveCsv();
    bool SavePdf();
    bool PrintSheet();
    // The result as a GeoJSON map file, the same as velmora-calc writes.
    QByteArray GeoJson();
    bool SaveGeoJson();
    // Wires the three buttons of the result page; the sheet button offers
    // the PDF file and the printer in a menu.
    void Connect(QPushButton* copy, QPushButton* csv, QPushButton* sheet);

    static QString CopyCaption() { return QStringLiteral("表をコピー"); }
    static QString CsvCaption() { return QStringLiteral("CSV保存"); }
    static QString SheetCaption() { return QStringLiteral("根拠資料(PDF/印刷)"); }
    static QString GeoJsonCaption() { return QStringLiteral("GeoJSON保存"); }

private:
    // The list's rows where they lie; there must be a list.
    velmora::calc::ResultPlaces Places();
    // False, after telling the estimator, when there is no result to export.
    bool HasResult(const QString& caption) const;
    QString ProposedPath(const QString& stem, const QString& suffix) const;
    // Asks for a file and has `write` (velmora::Error on failure) fill it;
    // the failure is shown in a box with the button's caption.
    bool SaveFile(const QString& caption, const QString& stem, const QString& suffix, const QString& filter,
                  const std::function<void(const QString&)>& write);

    MainWindowState& m_state;
    const ConditionPanel& m_panel;
    QWidget* m_window;
    EvidenceConditions m_conditions;
};

} // namespace velmora::ui
