// Version texts, rounding and the run-time error text.
#include "base/Rounding.h"
#include "base/RuntimeError.h"
#include "base/Version.h"

#include <QtTest>

class VersionTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void caption_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("caption");
        QTest::newRow("1.0.1") << 1 << 0 << 1 << QStringLiteral("Pixolva v1.01");
        QTest::newRow("2.3.14") << 2 << 3 << 14 << QStringLiteral("Pixolva v2.314");
        QTest::newRow("2.10.3") << 2 << 10 << 3 << QStringLiteral("Pixolva v2.103");
    }
    void caption()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(QString, caption);
        QCOMPARE(Version::MainCaption(QStringLiteral("Pixolva"), major, minor, revision), caption);
    }

    void builtCaptionIsTheProductsOwn()
    {
        QCOMPARE(Version::MainCaption(), QStringLiteral("Pixolva v1.01"));
    }

    void roundHalfEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("2.5") << 2.5 << 2;
        QTest::newRow("3.5") << 3.5 << 4;
        QTest::newRow("-2.5") << -2.5 << -2;
        QTest::newRow("2.51") << 2.51 << 3;
        QTest::newRow("-0.4") << -0.4 << 0;
    }
    void roundHalfEven()
    {
        QFETCH(double, value);
        QFETCH(int, expected);
        QCOMPARE(RoundHalfEven(value), expected);
    }

    void overflowRaisesErrorSix()
    {
        try {
            CheckedAdd(2147483647, 1);
            QFAIL("no error raised");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), 6);
            QCOMPARE(StandardErrorText(e), QStringLiteral("Overflow\r\n(Runtime-Error: 6)"));
        }
        QVERIFY_THROWS_EXCEPTION(RuntimeError, RoundHalfEven(3e9));
        QCOMPARE(CheckedSub(-2147483647, 1), -2147483647 - 1);
    }
};

QTEST_APPLESS_MAIN(VersionTest)
#include "VersionTest.moc"
