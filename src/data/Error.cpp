#include "Error.h"

namespace velmora {

Error::Error(const QString& message)
    : std::runtime_error(message.toStdString())
    , m_message(message)
{
}

FileOpenError::FileOpenError(const QString& path, const QString& reason)
    : Error(QStringLiteral("ファイル %1 は開けません。 %2 ").arg(path, reason))
{
}

} // namespace velmora
