// The colour fields: parsing, normal forms, refusals, and what the others show after an edit.
#include "app/ColourFields.h"
#include "app/ColourText.h"

#include <QtTest>

namespace {
const QStringList Names{QStringLiteral("Dec"), QStringLiteral("Hex"), QStringLiteral("R"), QStringLiteral("G"),
                        QStringLiteral("B")};

// The five fields as the window holds them: assigning a different text notifies at once and
// puts the caret at its end.
class Fields : public ColourFieldControls
{
public:
    QString Text(ColourFieldId f) const override { return text[int(f)]; }
    void SetText(ColourFieldId f, const QString &t) override
    {
        if (t == text[int(f)])
            return;
        text[int(f)] = t;
        caret[int(f)] = int(t.size());
        fields.Change(f);
    }
    qint32 SelStart(ColourFieldId f) const override { return caret[int(f)]; }
    void SetSelStart(ColourFieldId f, qint32 position) override { caret[int(f)] = position; }
    bool IsActiveControl(ColourFieldId f) const override { return int(f) == active; }
    void SetColourBoxColour(qint32 colour) override { box = colour; }

    // "R=295@1": the user turns R's text into 295 with a key pressed at caret 1 (default: the end).
    // "leave R": the focus goes from R to another control. "sample 255": the eyedropper's colour.
    void Run(const QStringList &steps)
    {
        for (const QString &step : steps) {
            if (step.startsWith(QLatin1String("sample "))) {
                fields.ShowColour(step.mid(7).toInt());
            } else if (step.startsWith(QLatin1String("leave "))) {
                active = -1;
                fields.Validate(ColourFieldId(Names.indexOf(step.mid(6))));
            } else {
                const int f = active = int(Names.indexOf(step.section(u'=', 0, 0)));
                const QString typed = step.section(u'=', 1).section(u'@', 0, 0);
                caret[f] = step.contains(u'@') ? step.section(u'@', 1).toInt() : int(text[f].size());
                fields.RememberSelStart(ColourFieldId(f));
                const bool changed = typed != text[f];
                text[f] = typed;
                caret[f] = int(typed.size());
                if (changed)
                    fields.Change(ColourFieldId(f));
            }
        }
    }

    QString text[ColourFieldCount] = {QStringLiteral("0"), QStringLiteral("#000000"), QStringLiteral("0"),
                                      QStringLiteral("0"), QStringLiteral("0")};
    int caret[ColourFieldCount] = {};
    int active = -1;
    qint32 box = 0;
    qint32 lastSelStart = 0;
    ColourFields fields{*this, lastSelStart};
};
}

class ColourFieldsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("colour");
        QTest::newRow("empty") << "" << 0 << 0 << 0;
        QTest::newRow("hex") << "&HFF" << 255 << 255 << 255;
        QTest::newRow("99999999") << "99999999" << 99999999 << 255 << 16777215;
        QTest::newRow("beyond 32 bits") << "2147483648" << -1 << 0 << 0;
        QTest::newRow("minus") << "-5" << -1 << 0 << 0;
        QTest::newRow("non-ASCII digit") << QString(QChar(0x0663)) << -1 << 0 << 0;
    }
    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QFETCH(int, byte);
        QFETCH(int, colour);
        QCOMPARE(TextToLong(text), value);
        QCOMPARE(int(TextToByte(text)), byte);
        QCOMPARE(TextToColour(text), colour);
    }

    void normalHexAndRefusals()
    {
        QCOMPARE(QStringList({NormalizeHex("#F8"), NormalizeHex("#12345678"), NormalizeHex("#G1"), NormalizeHex("#\u00df1")}),
                 QStringList({"#F80000", "#123456", "#100000", "#100000"}));  // sharp s is no SS
        Fields c;
        const auto refused = [&c](const char *field, const QString &text) {
            return c.fields.IsRefused(ColourFieldId(Names.indexOf(QLatin1String(field))), text);
        };
        QVERIFY(!refused("R", "255") && refused("R", "256") && refused("R", "&HF"));
        QVERIFY(!refused("Hex", "#") && refused("Hex", "#1234567") && refused("Hex", QString(QChar(0xff11))));
    }

    void editing_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("texts");  // Dec|Hex|R|G|B
        QTest::addColumn<int>("caret");      // of the field edited last; -1: not checked
        QTest::newRow("caret kept inside the text") << QStringList{"R=7", "R=7z@3"} << "7|#070000|7|0|0" << 1;
        QTest::newRow("first edit refused: empty") << QStringList{"R=x"} << "0|#000000||0|0" << 0;
        QTest::newRow("Dec 16777216 refused") << QStringList{"Dec=1677721", "Dec=16777216"} << "1677721|#999919|153|153|25" << 7;
        QTest::newRow("Hex normal when left") << QStringList{"Hex=#abc", "leave Hex"} << "49323|#ABC000|171|192|0" << -1;
        QTest::newRow("R emptied and left") << QStringList{"G=5", "R=25", "R=", "leave R"} << "1280|#000500|0|5|0" << -1;
        // A sample writes all five; none recomputes the others from a half-written colour.
        QTest::newRow("sample while R has the focus") << QStringList{"R=1", "sample 35071"} << "35071|#FF8800|255|136|0" << -1;
        QTest::newRow("a refusal restores the sample") << QStringList{"sample 255", "R=x"} << "255|#FF0000|255|0|0" << -1;
    }
    void editing()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, texts);
        QFETCH(int, caret);
        Fields c;
        c.Run(steps);
        QCOMPARE(QStringList(std::begin(c.text), std::end(c.text)).join(u'|'), texts);
        QCOMPARE(c.box, c.text[0].toInt());
        if (caret >= 0)
            QCOMPARE(c.caret[c.active], caret);
    }
};

QTEST_APPLESS_MAIN(ColourFieldsTest)
#include "ColourFieldsTest.moc"
