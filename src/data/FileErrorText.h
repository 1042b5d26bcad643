#pragma once

#include <QFileDevice>
#include <QString>
#include <cerrno>

namespace velmora::data {

// The error number of the file call that just failed: errno, or on Windows,
// where Qt's file engine calls the system directly and reports through
// GetLastError (errno is left as it was), that code as an error number.
int LastFileSystemError();

// The reason a file operation failed, in Japanese. Qt's own errorString()
// is the system's English text ("Permission denied", "No space left on
// device"), which must never reach the estimator. The system's error number
// tells most cases apart; read it right after the failing call (the default
// argument does that at the call site). Where it says nothing, the kind of
// failure Qt recorded on the file gives a coarser text.
QString FileErrorText(QFileDevice::FileError error, int systemError = LastFileSystemError());
QString FileErrorText(const QFileDevice& file, int systemError = LastFileSystemError());
// The reason for the error number alone; empty when it names no known cause.
QString SystemErrorText(int systemError);

} // namespace velmora::data
