// Run-time errors with a number and a description, and the checked arithmetic that raises them.
#pragma once

#include <QString>
#include <QtGlobal>
#include <exception>
#include <functional>
#include <string>

class RuntimeError : public std::exception
{
public:
    RuntimeError(int number, QString description);

    int number() const { return m_number; }
    QString description() const { return m_description; }
    const char *what() const noexcept override { return m_what.c_str(); }

private:
    int m_number;
    QString m_description;
    std::string m_what;
};

namespace ErrorNumber {
inline constexpr int Overflow = 6;
}

[[noreturn]] void RaiseError(int number, const QString &description);
[[noreturn]] void RaiseOverflow();

// The text of the standard error message: description, CR LF, "(Runtime-Error: N)".
QString StandardErrorText(const RuntimeError &error);

// Where core code hands an error that is to be shown to the user (the standard error message).
// The windows install a reporter that shows the message box; without one the error is dropped.
using ErrorReporter = void (*)(const RuntimeError &error);
void SetErrorReporter(ErrorReporter reporter);
void ReportError(const RuntimeError &error);

// One statement of a procedure that ignores errors statement by statement (a window's load): an
// error in step skips the rest of it, and the caller goes on with the next.
void Guarded(const std::function<void()> &step);

// Signed 32-bit arithmetic that raises error 6 "Overflow" instead of wrapping.
qint32 CheckedAdd(qint64 a, qint64 b);
qint32 CheckedSub(qint64 a, qint64 b);
qint32 CheckedNarrow(qint64 value);
