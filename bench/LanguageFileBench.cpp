// Start-up cost of the language file: the lookups of the main window, every one reading the file.
//
// Prints the median time of 40 lookups with a complete file (every start but the first), and
// of the same 40 lookups that each write a missing entry (the first start).
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Lookups = 40;

// The shape of the main window's texts: captions and tool tips of its controls, a few free keys.
QStringList Keys()
{
    const QStringList controls = {"lblDez", "lblHex", "lblR", "lblG", "lblB", "cmdAbout", "fraScreenShot",
                                  "cmdWindow", "cmdDesktop", "optClipboard", "optFile", "txtDec", "txtHex",
                                  "txtR", "txtG", "txtB", "lblTitle", "lblDescription", "cmdOK", "cmdSysInfo"};
    QStringList keys;
    for (const QString &control : controls) {
        keys.append(control + QLatin1String(".Caption"));
        keys.append(control + QLatin1String(".ToolTipText"));
    }
    return keys.mid(0, Lookups);
}

double MedianMs(std::vector<qint64> nanoseconds)
{
    std::sort(nanoseconds.begin(), nanoseconds.end());
    return nanoseconds[nanoseconds.size() / 2] / 1e6;
}

double Run(const QStringList &keys, const QString &path, bool fresh, int rounds)
{
    std::vector<qint64> times;
    for (int round = 0; round < rounds; ++round) {
        if (fresh)
            QFile::remove(path);
        QElapsedTimer timer;
        timer.start();
        for (const QString &key : keys)
            mdlI18n::GetLngText(QStringLiteral("frmMain"), key, QStringLiteral("Größe der Farbfläche für ") + key);
        times.push_back(timer.nsecsElapsed());
    }
    return MedianMs(times);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const QString path = dir.filePath(QStringLiteral("Pixolva.lng"));
    mdlI18n::LanguageFile().setPath(path);
    const QStringList keys = Keys();

    const double firstStart = Run(keys, path, true, 21);
    const double laterStart = Run(keys, path, false, 201);
    std::printf("language file: %.3f ms for %d lookups with the file complete (%lld bytes), %.3f ms writing each entry\n",
                laterStart, Lookups, static_cast<long long>(QFile(path).size()), firstStart);
    return 0;
}
