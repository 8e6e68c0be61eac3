// Regression: with a small monitor on the map its caption wrapped into more lines than its box
// holds. A caption now fits whole: smaller, then on two lines, never below the legible minimum.
#include "monitors/MonitorMapLayout.h"

#include <QtTest>

using MonitorMapLayout::FitCaption;

namespace {
// Three quarters of a pixel per character and point, one and a half pixels of line per point.
QSizeF Measure(const QStringList &lines, double pointSize)
{
    qsizetype longest = 0;
    for (const QString &line : lines)
        longest = std::max(longest, line.size());
    return QSizeF(longest * pointSize * 0.75, lines.size() * pointSize * 1.5);
}
}

class MonitorCaptionFitTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void captionFitsItsBox_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSizeF>("room");
        QTest::addColumn<double>("pointSize");
        QTest::addColumn<QString>("text");
        QTest::newRow("large box") << "Monitor 1: 1280 x 1024" << QSizeF(200, 30) << 8.0 << "Monitor 1: 1280 x 1024";
        QTest::newRow("smaller font") << "Monitor 1: 1280 x 1024" << QSizeF(120, 30) << 7.0 << "Monitor 1: 1280 x 1024";
        QTest::newRow("too low for the design font") << "Monitor 1: 1280 x 1024" << QSizeF(200, 10) << 6.5
                                                     << "Monitor 1: 1280 x 1024";
        QTest::newRow("size on a second line") << "Monitor 3: 640 x 480" << QSizeF(50, 35) << 6.5
                                               << "Monitor 3:\n640 x 480";
        QTest::newRow("too small for anything") << "Monitor 3: 640 x 480" << QSizeF(20, 10) << 6.0
                                                << "Monitor 3:\n640 x 480";
        QTest::newRow("nothing to split at") << "Monitor" << QSizeF(10, 10) << 6.0 << "Monitor";
    }
    void captionFitsItsBox()
    {
        QFETCH(QString, caption);
        QFETCH(QSizeF, room);
        QFETCH(double, pointSize);
        QFETCH(QString, text);
        const MonitorMapLayout::CaptionFit fit = FitCaption(caption, room, 8.0, 6.0, Measure);
        QCOMPARE(fit.PointSize, pointSize);
        QCOMPARE(fit.Text, text);
    }
};

QTEST_GUILESS_MAIN(MonitorCaptionFitTest)
#include "MonitorCaptionFitTest.moc"
