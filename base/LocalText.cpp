// Texts the user sees beyond the windows' controls, through the language file once it is there.
#include "base/LocalText.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>

namespace {
std::atomic<TextSource> g_source{nullptr};
}

void SetTextSource(TextSource source)
{
    g_source = source;
}

QString Localised(const LocalText &text)
{
    const QString german = QString::fromUtf8(text.german);
    const TextSource source = g_source;
    const QCoreApplication *app = QCoreApplication::instance();
    if (!source || !app || QThread::currentThread() != app->thread()) {
        QString expanded = german;
        return expanded.replace(QLatin1String("\\n"), QLatin1String("\r\n"));
    }
    return source(QString::fromLatin1(text.section), QString::fromLatin1(text.key), german);
}
