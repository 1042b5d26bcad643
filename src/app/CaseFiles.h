#pragma once

#include "ui/ConditionPanel.h"
#include "calc/CaseFile.h"

#include <QByteArray>
#include <QString>
#include <memory>

class QButtonGroup;
class QPushButton;
class QObject;

namespace velmora::ui {
class ConditionPanel;
class ResultExport;
}

namespace velmora::app {

class JobSiteCapture;
class MainWindowHost;

// Case files: the calculation shown with the estimator's road distances and
// fees saved to a file, a file opened again (read, checked against the
// lists, then applied and calculated afresh), and the question before such
// values are lost.
class CaseFiles
{
public:
    struct Parts
    {
        velmora::ui::ConditionPanel* panel = nullptr;
        velmora::ui::ConditionPanel::Lists lists;
        QButtonGroup* sortButtons = nullptr;
        velmora::ui::ResultExport* resultExport = nullptr;
        JobSiteCapture* jobSite = nullptr;
    };

    CaseFiles(MainWindowHost& host, const Parts& parts);
    ~CaseFiles();

    // The save and open buttons and their shortcuts (Ctrl+S, Ctrl+O).
    void Connect(QPushButton* save, QPushButton* open, QObject* shortcutOwner);

    // The buttons ask for the file; the ...To/...From variants take it.
    // False when nothing was saved or opened (the estimator has been told why).
    bool AskAndSave();
    bool AskAndOpen();
    bool SaveTo(const QString& path);
    bool OpenFrom(const QString& path);

    // What the next case file describes, taken when a calculation has gone
    // through: the panel may change afterwards without a new result.
    void RememberCalculatedCase();
    // The calculation shown with its distances and fees, as a case file has it.
    velmora::calc::CaseData CurrentCase() const;
    // Road distances or typed values in the table that no case file holds.
    bool HasUnsavedWork() const;
    // Asks before such values are lost; true when they may go.
    bool ConfirmLosingUnsavedWork(const QString& caption, const QString& question) const;

private:
    // Reads the file and checks it against the lists the window offers now;
    // the estimator is told why when it cannot be opened.
    bool ReadCase(const QString& path, velmora::calc::CaseData& d, velmora::calc::CaseIndexes& at) const;
    // The panel as the estimator had set it, then a fresh calculation with
    // the estimator's values on their rows.
    void ApplyCase(const velmora::calc::CaseData& d, const velmora::calc::CaseIndexes& at);

    MainWindowHost& m_host;
    Parts m_parts;
    std::unique_ptr<velmora::calc::CaseData> m_calculatedCase;
    // The case last saved or opened, normalised for comparison with the
    // table (row order and sort mode left out); empty when none.
    QByteArray m_savedCaseNormalised;
};

} // namespace velmora::app
