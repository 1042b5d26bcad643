#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace velmora::platform {

// What the program asks when it is about to write a file for the estimator.
struct SaveFileRequest
{
    QString caption;
    // Full path proposed: the folder last saved to (documents at first) and
    // a file name.
    QString proposedPath;
    // "CSVファイル (*.csv)"
    QString filter;
    // Added when the estimator types a name without it: "csv".
    QString suffix;
    // Asks for an existing file to read instead (AskOpenFileName).
    bool open = false;
};

// The save-file dialog; the chosen path, or empty when cancelled. An
// existing file is replaced only after the dialog's own question.
QString AskSaveFileName(QWidget* parent, const SaveFileRequest& request);

// The open-file dialog for an existing file, through the same hook; the
// request's `open` is set.
QString AskOpenFileName(QWidget* parent, SaveFileRequest request);

// A hook answers instead of the estimator, so headless tests never block on
// the dialog. Returns the previous hook; an empty hook shows the dialog.
using SaveFileHook = std::function<QString(const SaveFileRequest&)>;
SaveFileHook SetSaveFileHook(SaveFileHook hook);

// The folder a save dialog opens in: the last one saved to in this run, or
// the estimator's documents folder.
QString LastSaveFolder();
void RememberSaveFolder(const QString& filePath);

} // namespace velmora::platform
