#pragma once
// Typed errors of the system. Each carries the exact text the user sees;
// the top-level handler appends the final "." where it belongs.
#include <QString>
#include <exception>
#include <string>

namespace prolis {

class Error : public std::exception {
public:
    explicit Error(QString message) : m_message(std::move(message)), m_utf8(m_message.toStdString()) {}
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_message;
    std::string m_utf8;
};

// Arithmetic failures: division by zero, invalid operation, overflow.
class MathError : public Error {
public:
    using Error::Error;
};

// A text that is no number ("'%s' is not a valid floating point value").
class ConvertError : public Error {
public:
    using Error::Error;
};

// A value outside the range of its type ("Range check error").
class RangeError : public Error {
public:
    using Error::Error;
};

// Database library failures; the message is the library's own text.
class DatabaseError : public Error {
public:
    using Error::Error;
};

// Settings file failures ("Unable to write to %s").
class SettingsError : public Error {
public:
    using Error::Error;
};

// A file that cannot be written (a document, a workbook, its temporary
// files), with the path and the system's reason.
class FileError : public Error {
public:
    using Error::Error;
};

// Missing data of the material record (no work constants, missing column).
class DataError : public Error {
public:
    using Error::Error;
};

namespace msg {
inline const QString DivByZero = QStringLiteral("Floating point division by zero");
inline const QString InvalidOp = QStringLiteral("Invalid floating point operation");
inline const QString Overflow = QStringLiteral("Floating point overflow");
inline const QString RangeCheck = QStringLiteral("Range check error");
} // namespace msg

// The text the top-level handler shows: "." appended when the last character
// sorts above "." ("Abc" -> "Abc.", "Abc." and "Abc!" stay).
QString errorDisplayText(const QString& message);

} // namespace prolis
