#pragma once

#include <QString>
#include <stdexcept>

namespace velmora {

// Every failure the program reports carries a Japanese message meant for the
// estimator. what() returns it as UTF-8 so std::exception handlers can log it.
class Error : public std::runtime_error
{
public:
    explicit Error(const QString& message);
    const QString& message() const noexcept { return m_message; }

private:
    QString m_message;
};

// A text from a table or a field that is not the number it should be.
class ConvertError : public Error
{
public:
    using Error::Error;
};

// A data file that could not be opened; the message names the path and the
// system's reason, the way the readers show it in their warning box.
class FileOpenError : public Error
{
public:
    FileOpenError(const QString& path, const QString& reason);
};

// An exact decimal that does not fit the precision it was asked for.
class OverflowError : public Error
{
public:
    using Error::Error;
};

} // namespace velmora
