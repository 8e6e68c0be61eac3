// Run-time errors with a number and a description, and the checked arithmetic that raises them.
#include "base/RuntimeError.h"

#include "base/ErrorTexts.h"

#include <limits>

RuntimeError::RuntimeError(int number, QString description)
    : m_number(number), m_description(std::move(description)),
      m_what(m_description.toStdString() + " (" + std::to_string(number) + ")")
{
}

void RaiseError(int number, const QString &description)
{
    throw RuntimeError(number, description);
}

void RaiseOverflow()
{
    RaiseError(ErrorKind::Overflow);
}

QString StandardErrorText(const RuntimeError &error)
{
    return error.description() + QStringLiteral("\r\n(Runtime-Error: ") + QString::number(error.number())
        + QLatin1Char(')');
}

namespace {
ErrorReporter g_reporter = nullptr;
}

void SetErrorReporter(ErrorReporter reporter)
{
    g_reporter = reporter;
}

void ReportError(const RuntimeError &error)
{
    if (g_reporter)
        g_reporter(error);
}

qint32 CheckedNarrow(qint64 value)
{
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        RaiseOverflow();
    return static_cast<qint32>(value);
}

qint32 CheckedAdd(qint64 a, qint64 b) { return CheckedNarrow(a + b); }
qint32 CheckedSub(qint64 a, qint64 b) { return CheckedNarrow(a - b); }

void Guarded(const std::function<void()> &step)
{
    try {
        step();
    } catch (const std::exception &) {
    }
}
