#include "ProgramEntry.h"

#include "TMainForm.h"
#include "UserDeployment.h"
#include "data/Paths.h"
#include "platform/IsProcessRunning.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <memory>

using velmora::platform::MessageAnswer;
using velmora::platform::MessageButtons;
using velmora::platform::MessageIcon;
using velmora::platform::ShowMessage;
using velmora::platform::SingleInstanceGuard;

namespace velmora::app {

QString InstanceName()
{
    return QStringLiteral("QuillonMarvetta");
}

QString WarnedBrowserName()
{
    return QStringLiteral("iexplore.exe");
}

int RunMainWindow(SingleInstanceGuard::State guard)
{
    try {
        if (guard == SingleInstanceGuard::State::Failed)
            return 0;
        if (guard == SingleInstanceGuard::State::AlreadyRunning) {
            ShowMessage(QStringLiteral("VelmoraProが起動中です。\r\n現在起動しているVelmoraProを終了してください。"),
                        velmora::data::Paths::exeFileName(), MessageButtons::Ok, MessageIcon::Exclamation);
            return 0;
        }
        if (IsProcessRunning(WarnedBrowserName())) {
            const MessageAnswer answer =
                ShowMessage(QStringLiteral("Internet Explorerが起動しています。\r\n"
                                           "Internet Explorerで入札情報サービスシステム（公共調達）ページが\r\n"
                                           "開かれている場合は、先に閉じてください。\r\n\r\n"
                                           "VelmoraProを起動してもよろしいですか？"),
                            QStringLiteral("VelmoraPro"), MessageButtons::YesNo, MessageIcon::Information);
            if (answer != MessageAnswer::Yes)
                return 0;
        }

        auto form = std::make_unique<TMainForm>();
        if (form->startupExitCode() != 0)
            return form->startupExitCode();
        form->show();
        QApplication::exec();
    } catch (...) {
        velmora::platform::ShowErrorBox(velmora::platform::CurrentExceptionMessage());
    }
    return 0;
}

int RunProgram()
{
    // Never released: the lock must hold for as long as this copy runs, and
    // the system drops it when the process ends.
    static SingleInstanceGuard guard(InstanceName());
    // Only the copy that holds the lock may touch the user's deployment: a
    // second start must not replace files the first is still decoding.
    if (guard.state() == SingleInstanceGuard::State::Acquired && !PrepareDeployment())
        return 1;
    return RunMainWindow(guard.state());
}

} // namespace velmora::app
