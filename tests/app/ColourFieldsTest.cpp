// The five colour fields kept in step, driven through a stand-in for the window's controls.
#include "app/ColourFields.h"

#include <QtTest>

#include <array>

namespace {
constexpr int Index(ColourFieldId f)
{
    return static_cast<int>(f);
}

// Five line edits as the window has them: a length limit, a caret or a selection, and a change
// notification that runs at once whenever the text really changes.
class FakeFieldControls : public ColourFieldControls
{
public:
    FakeFieldControls() : fields(*this, lastSelStart) {}

    QString Text(ColourFieldId f) const override { return text[Index(f)]; }
    void SetText(ColourFieldId f, const QString &t) override
    {
        const QString limited = t.left(MaxLength(f));
        if (limited == text[Index(f)])
            return;
        text[Index(f)] = limited;
        selStart[Index(f)] = int(limited.size());
        selLength[Index(f)] = 0;
        fields.Change(f);
    }
    qint32 SelStart(ColourFieldId f) const override { return selStart[Index(f)]; }
    void SetSelStart(ColourFieldId f, qint32 position) override
    {
        selStart[Index(f)] = qMin(position, int(text[Index(f)].size()));
        selLength[Index(f)] = 0;
    }
    bool IsActiveControl(ColourFieldId f) const override { return focus == Index(f); }
    void SetColourBoxColour(qint32 colour) override { box = colour; }

    static int MaxLength(ColourFieldId f)
    {
        switch (f) {
        case ColourFieldId::Dec:
            return 8;
        case ColourFieldId::Hex:
            return 7;
        default:
            return 3;
        }
    }

    // The focus moves to field f (-1: another control). As in the toolkit, the focus already sits
    // on the new control when the old field hears that it lost it.
    void Focus(int f)
    {
        const int old = focus;
        focus = f;
        if (old >= 0 && old != f)
            fields.Validate(ColourFieldId(old));
        if (f >= 0) {
            selStart[f] = 0;
            selLength[f] = int(text[f].size());
        }
    }
    // A key press or paste of s at the caret, replacing the selection, within the length limit.
    void Insert(const QString &s)
    {
        const ColourFieldId f = ColourFieldId(focus);
        fields.RememberSelStart(f);
        const int i = focus;
        QString t = text[i];
        t.remove(selStart[i], selLength[i]);
        const QString piece = s.left(MaxLength(f) - t.size());
        if (piece.isEmpty())
            return;
        t.insert(selStart[i], piece);
        const int caret = selStart[i] + int(piece.size());
        UserEdit(f, t, caret);
    }
    void Backspace()
    {
        const ColourFieldId f = ColourFieldId(focus);
        fields.RememberSelStart(f);
        const int i = focus;
        QString t = text[i];
        int caret = selStart[i];
        if (selLength[i] > 0) {
            t.remove(selStart[i], selLength[i]);
        } else if (caret > 0) {
            t.remove(--caret, 1);
        }
        UserEdit(f, t, caret);
    }
    void Click(int position)
    {
        fields.RememberSelStart(ColourFieldId(focus));
        selStart[focus] = qMin(position, int(text[focus].size()));
        selLength[focus] = 0;
    }

    void UserEdit(ColourFieldId f, const QString &t, int caret)
    {
        const bool changed = t != text[Index(f)];
        text[Index(f)] = t;
        selStart[Index(f)] = caret;
        selLength[Index(f)] = 0;
        if (changed)
            fields.Change(f);
    }

    std::array<QString, ColourFieldCount> text{QStringLiteral("0"), QStringLiteral("#000000"), QStringLiteral("0"),
                                              QStringLiteral("0"), QStringLiteral("0")};
    std::array<int, ColourFieldCount> selStart{};
    std::array<int, ColourFieldCount> selLength{};
    int focus = -1;
    qint32 box = 0;
    qint32 lastSelStart = 0;
    ColourFields fields;
};

int FieldIndex(const QString &name)
{
    static const QStringList names{QStringLiteral("Dec"), QStringLiteral("Hex"), QStringLiteral("R"),
                                   QStringLiteral("G"), QStringLiteral("B")};
    return int(names.indexOf(name));
}

// Steps: "focus F" (F: Dec, Hex, R, G, B, or "other"), "type TEXT" (one key press per character),
// "paste TEXT", "back" (backspace), "click N" (caret to N), "sample COLOUR" (the eyedropper writes
// a colour).
void Run(FakeFieldControls &c, const QStringList &steps)
{
    for (const QString &step : steps) {
        const QString verb = step.section(u' ', 0, 0);
        const QString arg = step.section(u' ', 1);
        if (verb == u"focus") {
            c.Focus(FieldIndex(arg));
        } else if (verb == u"type") {
            for (QChar ch : arg)
                c.Insert(QString(ch));
        } else if (verb == u"paste") {
            c.Insert(arg);
        } else if (verb == u"back") {
            c.Backspace();
        } else if (verb == u"click") {
            c.Click(arg.toInt());
        } else if (verb == u"sample") {
            c.fields.ShowColour(arg.toInt());
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
        }
    }
}
}

class ColourFieldsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void editing_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("dec");
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QString>("r");
        QTest::addColumn<QString>("g");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("box");
        QTest::addColumn<int>("caret"); // of the field with the focus; -1: not checked

        QTest::newRow("R 25 then 3")
            << QStringList{"focus R", "type 25", "type 3"} << "253" << "#FD0000" << "253" << "0" << "0" << 253 << 3;
        QTest::newRow("R 256 pasted over all refused")
            << QStringList{"focus R", "type 253", "focus other", "focus R", "paste 256"}
            << "253" << "#FD0000" << "253" << "0" << "0" << 253 << 0;
        QTest::newRow("R 295 refused, caret back")
            << QStringList{"focus R", "type 25", "click 1", "type 9"} << "25" << "#190000" << "25" << "0" << "0" << 25 << 1;
        QTest::newRow("R letter refused")
            << QStringList{"focus R", "type 12", "type a"} << "12" << "#0C0000" << "12" << "0" << "0" << 12 << 2;
        QTest::newRow("G minus refused")
            << QStringList{"focus G", "type 4", "type -"} << "1024" << "#000400" << "0" << "4" << "0" << 1024 << 1;
        QTest::newRow("Dec 16777216 refused")
            << QStringList{"focus Dec", "type 1677721", "type 6"} << "1677721" << "#999919" << "153" << "153" << "25" << 1677721 << 7;
        QTest::newRow("Dec 16777215")
            << QStringList{"focus Dec", "paste 16777215"} << "16777215" << "#FFFFFF" << "255" << "255" << "255" << 16777215 << 8;
        QTest::newRow("Dec 65280")
            << QStringList{"focus Dec", "type 65280"} << "65280" << "#00FF00" << "0" << "255" << "0" << 65280 << 5;
        QTest::newRow("Hex ff8800 left")
            << QStringList{"focus Hex", "type ff8800", "focus R"} << "35071" << "#FF8800" << "255" << "136" << "0" << 35071 << 0;
        QTest::newRow("Hex #abc left")
            << QStringList{"focus Hex", "type #abc", "focus other"} << "49323" << "#ABC000" << "171" << "192" << "0" << 49323 << -1;
        QTest::newRow("Hex seven digits without # refused")
            << QStringList{"focus Hex", "type 123456", "type 7"} << "5649426" << "123456" << "18" << "52" << "86" << 5649426 << 6;
        QTest::newRow("Hex # not at the start refused")
            << QStringList{"focus Hex", "type 12", "type #"} << "18" << "12" << "18" << "0" << "0" << 18 << 2;
        QTest::newRow("R emptied and left")
            << QStringList{"focus G", "type 5", "focus R", "type 25", "back", "back", "focus other"}
            << "1280" << "#000500" << "0" << "5" << "0" << 1280 << -1;
        QTest::newRow("G 007 left")
            << QStringList{"focus G", "type 007", "focus B"} << "1792" << "#000700" << "0" << "7" << "0" << 1792 << 0;
        QTest::newRow("first refused edit empties the field")
            << QStringList{"focus R", "type x"} << "0" << "#000000" << "" << "0" << "0" << 0 << 0;
        QTest::newRow("sample white")
            << QStringList{"focus other", "sample 16777215"} << "16777215" << "#FFFFFF" << "255" << "255" << "255" << 16777215 << -1;
        QTest::newRow("edit after sampling recomputes")
            << QStringList{"focus other", "sample 16777215", "focus G", "type 0"}
            << "16711935" << "#FF00FF" << "255" << "0" << "255" << 16711935 << 1;
        QTest::newRow("sampled text is the one a refusal restores")
            << QStringList{"focus other", "sample 255", "focus R", "type x"} << "255" << "#FF0000" << "255" << "0" << "0" << 255 << 0;
        QTest::newRow("sample while a field has the focus")
            << QStringList{"focus R", "type 1", "sample 35071"} << "35071" << "#FF8800" << "255" << "136" << "0" << 35071 << -1;
    }
    void editing()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, dec);
        QFETCH(QString, hex);
        QFETCH(QString, r);
        QFETCH(QString, g);
        QFETCH(QString, b);
        QFETCH(int, box);
        QFETCH(int, caret);

        FakeFieldControls c;
        Run(c, steps);
        QCOMPARE(c.text[Index(ColourFieldId::Dec)], dec);
        QCOMPARE(c.text[Index(ColourFieldId::Hex)], hex);
        QCOMPARE(c.text[Index(ColourFieldId::R)], r);
        QCOMPARE(c.text[Index(ColourFieldId::G)], g);
        QCOMPARE(c.text[Index(ColourFieldId::B)], b);
        QCOMPARE(c.box, box);
        if (caret >= 0)
            QCOMPARE(c.selStart[c.focus], caret);
        for (int f = 0; f < ColourFieldCount; ++f)
            QVERIFY(!c.fields.Busy(ColourFieldId(f)));
    }

    // A refusal puts the caret where the last press left LastSelStart, but never beyond the end
    // of the restored text.
    void caretBeyondRestoredText()
    {
        FakeFieldControls c;
        Run(c, {"focus R", "type 7"});
        c.lastSelStart = 3;
        c.UserEdit(ColourFieldId::R, QStringLiteral("7z"), 2);
        QCOMPARE(c.text[Index(ColourFieldId::R)], QStringLiteral("7"));
        QCOMPARE(c.selStart[Index(ColourFieldId::R)], 1);
    }

    // Only the field being left recomputes the others while it is rewritten, even though the
    // focus already sits on the next field.
    void leavingCountsTheLeftFieldAsActive()
    {
        FakeFieldControls c;
        Run(c, {"focus Hex", "type #abc"});
        // The other fields are put out of step behind the synchronisation's back.
        c.text[Index(ColourFieldId::R)] = QStringLiteral("1");
        c.text[Index(ColourFieldId::Dec)] = QStringLiteral("1");
        Run(c, {"focus Dec"});
        QCOMPARE(c.text[Index(ColourFieldId::Hex)], QStringLiteral("#ABC000"));
        QCOMPARE(c.text[Index(ColourFieldId::R)], QStringLiteral("171"));
        QCOMPARE(c.text[Index(ColourFieldId::Dec)], QStringLiteral("49323"));
        QCOMPARE(c.box, 49323);
    }

    void refusalRules_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("refused");
        const int dec = Index(ColourFieldId::Dec), hex = Index(ColourFieldId::Hex), r = Index(ColourFieldId::R);
        QTest::newRow("R empty") << r << "" << false;
        QTest::newRow("R 255") << r << "255" << false;
        QTest::newRow("R 256") << r << "256" << true;
        QTest::newRow("R &HF") << r << "&HF" << true;
        QTest::newRow("R blank") << r << " 1" << true;
        QTest::newRow("Dec 00000001") << dec << "00000001" << false;
        QTest::newRow("Hex empty") << hex << "" << false;
        QTest::newRow("Hex # alone") << hex << "#" << false;
        QTest::newRow("Hex #1234567") << hex << "#1234567" << true;
        QTest::newRow("Hex ##") << hex << "##" << true;
        QTest::newRow("Hex fullwidth digit") << hex << QString(QChar(0xff11)) << true;
    }
    void refusalRules()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(bool, refused);
        FakeFieldControls c;
        QCOMPARE(c.fields.IsRefused(ColourFieldId(field), text), refused);
    }
};

QTEST_APPLESS_MAIN(ColourFieldsTest)
#include "ColourFieldsTest.moc"
