// Number and hexadecimal texts of the colour fields.
#include "app/ColourText.h"

#include <QtTest>

class ColourTextTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textToLong_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("digits") << "253" << 253;
        QTest::newRow("leading zeros") << "007" << 7;
        QTest::newRow("hex upper") << "&HFF" << 255;
        QTest::newRow("beyond 32 bits") << "2147483648" << -1;
        QTest::newRow("hex beyond 32 bits") << "&H80000000" << -1;
        QTest::newRow("letter") << "12a" << -1;
        QTest::newRow("minus") << "-5" << -1;
        QTest::newRow("hex prefix alone") << "&H" << -1;
        QTest::newRow("non-ASCII digit") << QString(QChar(0x0663)) << -1;
    }
    void textToLong()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(TextToLong(text), value);
    }

    void clamping_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("colour");
        QTest::newRow("300") << "300" << 255 << 300;
        QTest::newRow("empty") << "" << 0 << 0;
        QTest::newRow("&HFF") << "&HFF" << 255 << 255;
        QTest::newRow("too long for 32 bits") << "4294967296" << 0 << 0;
        QTest::newRow("99999999") << "99999999" << 255 << 16777215;
        QTest::newRow("16777215") << "16777215" << 255 << 16777215;
    }
    void clamping()
    {
        QFETCH(QString, text);
        QFETCH(int, byte);
        QFETCH(int, colour);
        QCOMPARE(int(TextToByte(text)), byte);
        QCOMPARE(TextToColour(text), colour);
    }

    void byteToHex_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("hex");
        QTest::newRow("0") << 0 << "00";
        QTest::newRow("255") << 255 << "FF";
        QTest::newRow("-1") << -1 << "FF";
    }
    void byteToHex()
    {
        QFETCH(int, value);
        QFETCH(QString, hex);
        QCOMPARE(ByteToHex(value), hex);
    }

    void normalizeHex_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("normal");
        QTest::newRow("lower case") << "#ff8800" << "#FF8800";
        QTest::newRow("without #") << "FF8800" << "#FF8800";
        QTest::newRow("short") << "#F8" << "#F80000";
        QTest::newRow("empty") << "" << "#000000";
        QTest::newRow("long") << "#12345678" << "#123456";
        QTest::newRow("non-hex dropped") << "#G1" << "#100000";
        QTest::newRow("sharp s") << QString::fromUtf8("#\u00df1") << "#100000";
    }
    void normalizeHex()
    {
        QFETCH(QString, text);
        QFETCH(QString, normal);
        QCOMPARE(NormalizeHex(text), normal);
    }
};

QTEST_APPLESS_MAIN(ColourTextTest)
#include "ColourTextTest.moc"
