// Error numbers and their German texts, version texts, rounding and checked arithmetic.
#include "base/ErrorTexts.h"
#include "base/Rounding.h"
#include "base/RuntimeError.h"
#include "base/Version.h"

#include <QtTest>

class BaseTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void errorsInGerman_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("number");
        QTest::newRow("overflow") << int(ErrorKind::Overflow) << 6;
        QTest::newRow("no screen") << int(ErrorKind::NoScreen) << 5;
        QTest::newRow("window gone") << int(ErrorKind::WindowGone) << 91;
        QTest::newRow("window not movable") << int(ErrorKind::WindowNotMovable) << 384;
        QTest::newRow("file not written") << int(ErrorKind::FileNotWritten) << 75;
        QTest::newRow("no active window") << int(ErrorKind::NoActiveWindow) << 481;
        QTest::newRow("monitor gone") << int(ErrorKind::MonitorGone) << 481;
        QTest::newRow("empty capture") << int(ErrorKind::EmptyCapture) << 481;
    }
    void errorsInGerman()
    {
        QFETCH(int, kind);
        QFETCH(int, number);
        const QRegularExpression english(QStringLiteral("\\b(the|not|error|invalid|file|access|picture|screen|object|"
                                                        "window|cannot|overflow)\\b"), QRegularExpression::CaseInsensitiveOption);
        try {
            RaiseError(ErrorKind(kind), QStringLiteral("/home/anna/bild.bmp"));
            QFAIL("nothing raised");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), number);
            const QString text = e.description();
            QVERIFY2(text.size() > 60 && !text.contains(QLatin1Char('\n')) && !english.match(text).hasMatch()
                         && text.contains(QRegularExpression(QStringLiteral("\\b\\w+ Sie\\b"))), qPrintable(text));
            QVERIFY(ErrorKind(kind) != ErrorKind::FileNotWritten
                    || text.startsWith(QString::fromUtf8("Die Datei „/home/anna/bild.bmp“ konnte nicht geschrieben werden")));
        }
    }

    void versionTextHasOneDot()
    {
        QCOMPARE(Version::MainCaption(), QStringLiteral("Pixolva v1.01"));
        QCOMPARE(Version::VersionText(2, 3, 14), QStringLiteral("2.314"));
    }

    void numbersRaiseInsteadOfWrapping()
    {
        QCOMPARE(QList<int>({RoundHalfEven(2.5), RoundHalfEven(3.5), RoundHalfEven(-2.5), RoundHalfEven(2.51)}),
                 QList<int>({2, 4, -2, 3}));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, RoundHalfEven(3e9));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, CheckedAdd(2147483647, 1));
        QCOMPARE(CheckedSub(-2147483647, 1), -2147483647 - 1);
    }
};

QTEST_APPLESS_MAIN(BaseTest)
#include "BaseTest.moc"
