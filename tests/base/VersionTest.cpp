// Version texts, and the rounding and checked arithmetic every floor relies on.
#include "base/Rounding.h"
#include "base/RuntimeError.h"
#include "base/Version.h"

#include <QtTest>

class VersionTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void versionTextHasOneDot()
    {
        QCOMPARE(Version::MainCaption(), QStringLiteral("Pixolva v1.01"));
        QCOMPARE(Version::VersionText(2, 3, 14), QStringLiteral("2.314"));
    }

    void roundsHalvesToEven()
    {
        QCOMPARE(QList<int>({RoundHalfEven(2.5), RoundHalfEven(3.5), RoundHalfEven(-2.5), RoundHalfEven(2.51)}),
                 QList<int>({2, 4, -2, 3}));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, RoundHalfEven(3e9));
    }

    void checkedArithmeticRaisesInsteadOfWrapping()
    {
        QVERIFY_THROWS_EXCEPTION(RuntimeError, CheckedAdd(2147483647, 1));
        QCOMPARE(CheckedSub(-2147483647, 1), -2147483647 - 1);
    }
};

QTEST_APPLESS_MAIN(VersionTest)
#include "VersionTest.moc"
