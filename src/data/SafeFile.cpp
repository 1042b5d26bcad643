#include "SafeFile.h"

#include "FileErrorText.h"

#include <QSaveFile>

namespace velmora::data {

bool ReplaceFileContents(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    // Unbuffered, so a write the disk refuses fails right here. Buffered, the
    // bytes would only reach the disk inside commit(), which reports the
    // failed write but renames the incomplete file over the old one anyway.
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
        && file.write(bytes) == bytes.size() && file.commit();
    if (!written && error)
        *error = FileErrorText(file);
    return written;
}

} // namespace velmora::data
