#include "SaveFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace velmora::platform {
namespace {

SaveFileHook& hook()
{
    static SaveFileHook h;
    return h;
}

QString& lastFolder()
{
    static QString folder;
    return folder;
}

} // namespace

SaveFileHook SetSaveFileHook(SaveFileHook h)
{
    SaveFileHook previous = std::move(hook());
    hook() = std::move(h);
    return previous;
}

QString LastSaveFolder()
{
    if (!lastFolder().isEmpty())
        return lastFolder();
    // A desktop without a documents folder would otherwise propose a file in
    // a folder that is not there, and the dialog would open somewhere else.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() || !QDir(documents).exists() ? QDir::homePath() : documents;
}

void RememberSaveFolder(const QString& filePath)
{
    lastFolder() = QFileInfo(filePath).absolutePath();
}

QString AskSaveFileName(QWidget* parent, const SaveFileRequest& request)
{
    if (hook()) {
        const SaveFileHook h = hook();
        return h(request);
    }
    QFileDialog dialog(parent, request.caption, request.proposedPath, request.filter);
    if (request.open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(request.suffix);
        dialog.selectFile(request.proposedPath);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString AskOpenFileName(QWidget* parent, SaveFileRequest request)
{
    request.open = true;
    return AskSaveFileName(parent, request);
}

} // namespace velmora::platform
