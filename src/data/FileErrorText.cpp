#include "FileErrorText.h"

#ifdef _WIN32
#include "platform/win/Win32ErrorNumber.h"

#include <windows.h>
#endif

namespace velmora::data {

int LastFileSystemError()
{
#ifdef _WIN32
    return velmora::platform::win::ErrnoOfWin32Error(GetLastError());
#else
    return errno;
#endif
}

QString SystemErrorText(int systemError)
{
    switch (systemError) {
    case ENOENT:
        return QStringLiteral("ファイルまたはフォルダが見つかりません。");
    case EACCES:
    case EPERM:
        return QStringLiteral("アクセスが拒否されました（権限がありません）。");
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral("ディスクの空き容量が不足しています。");
    case EROFS:
        return QStringLiteral("読み取り専用の場所には書き込めません。");
    case EISDIR:
        return QStringLiteral("ファイルではなくフォルダです。");
    case ENOTDIR:
        return QStringLiteral("途中のフォルダがありません（フォルダではない名前があります）。");
    case EEXIST:
        return QStringLiteral("同じ名前のファイルがすでにあります。");
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名が長すぎます。");
    case EBUSY:
#ifdef ETXTBSY
    case ETXTBSY:
#endif
        return QStringLiteral("ファイルが使用中です。");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("開いているファイルが多すぎます。");
    case EIO:
        return QStringLiteral("ディスクの読み書きでエラーが発生しました。");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます。");
    default:
        return QString();
    }
}

QString FileErrorText(QFileDevice::FileError error, int systemError)
{
    const QString system = SystemErrorText(systemError);
    if (!system.isEmpty())
        return system;
    switch (error) {
    case QFileDevice::ReadError:
        return QStringLiteral("ファイルを読み込めませんでした。");
    case QFileDevice::WriteError:
    case QFileDevice::ResizeError:
        return QStringLiteral("ファイルに書き込めませんでした。");
    case QFileDevice::OpenError:
        return QStringLiteral("ファイルを開けませんでした。");
    case QFileDevice::PermissionsError:
        return QStringLiteral("アクセスが拒否されました（権限がありません）。");
    case QFileDevice::RemoveError:
        return QStringLiteral("ファイルを削除できませんでした。");
    case QFileDevice::RenameError:
        return QStringLiteral("ファイルの名前を変更できませんでした。");
    case QFileDevice::CopyError:
        return QStringLiteral("ファイルをコピーできませんでした。");
    case QFileDevice::AbortError:
        return QStringLiteral("操作が中止されました。");
    case QFileDevice::TimeOutError:
        return QStringLiteral("操作が時間切れになりました。");
    case QFileDevice::ResourceError:
        return QStringLiteral("ディスクの空き容量またはメモリが不足しています。");
    case QFileDevice::PositionError:
    case QFileDevice::FatalError:
    case QFileDevice::UnspecifiedError:
        return QStringLiteral("ファイルの操作に失敗しました。");
    case QFileDevice::NoError:
        break;
    }
    return QStringLiteral("ファイルの操作に失敗しました。");
}

QString FileErrorText(const QFileDevice& file, int systemError)
{
    return FileErrorText(file.error(), systemError);
}

} // namespace velmora::data
