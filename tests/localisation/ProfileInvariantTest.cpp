// The INI engine's invariant, checked once: run here on every kind of last line, and on random
// runs by libFuzzer when built as the fuzz target (PIXOLVA_FUZZ_TARGET).
#include "localisation/AnsiText.h"
#include "localisation/ProfileText.h"

#include <QtCore>

#include <optional>

namespace {

using ProfileText::Document;

// Every section of before stays, and every entry other than those of section (or only key's,
// when given) reads the same in after. Empty when so, else what changed.
QString OthersUnchanged(const QByteArray &before, const QByteArray &after, const QString &section,
                        std::optional<QString> key)
{
    Document was(before), is(after);
    const QStringList sections = is.SectionNames();
    for (const QString &s : was.SectionNames()) {
        const bool sameSection = s.compare(section, Qt::CaseInsensitive) == 0;
        if (sameSection && !key)
            continue;
        if (!sections.contains(s))
            return QStringLiteral("section lost: [%1]").arg(s);
        for (const QString &k : was.KeyNames(s))
            if (!(sameSection && k.compare(*key, Qt::CaseInsensitive) == 0) && was.Value(s, k) != is.Value(s, k))
                return QStringLiteral("[%1] %2 changed").arg(s, k);
    }
    return {};
}

// after is before with the entry set to value: no line end of before changed, the entry reads
// back as written (as Windows-1252 holds it, in such a file), nothing else reads differently.
QString EntryWritten(const QByteArray &before, const QByteArray &after, const QString &section, const QString &key,
                     const QString &value)
{
    const Document was(before);
    const QString a = was.Text(), b = Document(after).Text();
    qsizetype prefix = 0, suffix = 0;
    while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix])
        ++prefix;
    while (suffix < a.size() - prefix && suffix < b.size() - prefix && a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
        ++suffix;
    const QString changed = a.mid(prefix, a.size() - prefix - suffix);
    if (changed.contains(QLatin1Char('\n')) || changed.contains(QLatin1Char('\r')))
        return QStringLiteral("a line end of another line changed");
    const QString expected = was.encoding() == ProfileText::Encoding::Ansi
        ? AnsiText::ToUnicode(AnsiText::FromUnicode(value)) : value;
    if (Document(after).Value(section, key) != expected)
        return QStringLiteral("the entry does not read back");
    return OthersUnchanged(before, after, section, key);
}

// A run as bytes: the file's form (one byte: as it is, or its Windows-1252 text as UTF-8 with or
// without byte order mark or as UTF-16), the file (two length bytes, then the bytes), then
// operations, each a byte (0 lookup, 1 write, 2 key deletion, 3 section deletion), a section and
// a key, and for a write a value as UTF-8 (one length byte each). Each operation is made on a
// document of the file as it stands and on one document that takes them all; both must give the
// same bytes. Empty when every step kept the invariant, else what broke.
QString Check(QByteArrayView run)
{
    const auto byte = [&run] {
        const int b = run.isEmpty() ? 0 : uchar(run.front());
        run = run.sliced(run.isEmpty() ? 0 : 1);
        return b;
    };
    const auto text = [&](bool wide) {
        const qsizetype size = qMin<qsizetype>(wide ? byte() << 8 | byte() : byte(), run.size());
        const QByteArray t = run.first(size).toByteArray();
        run = run.sliced(size);
        return t;
    };
    const int form = byte() % 4;
    QByteArray file = text(true);
    const QString fileText = AnsiText::ToUnicode(file);
    if (form == 1)
        file = "\xEF\xBB\xBF" + fileText.toUtf8();
    else if (form == 2)
        file = fileText.toUtf8();
    else if (form == 3)
        file = "\xFF\xFE" + QByteArray(reinterpret_cast<const char *>(fileText.utf16()), fileText.size() * 2);
    Document document(file);
    QString broken;
    while (!run.isEmpty() && broken.isEmpty()) {
        const int operation = byte() % 4;
        const QString section = AnsiText::ToUnicode(text(false)), key = AnsiText::ToUnicode(text(false));
        Document fresh(file);
        if (operation == 0) {
            (void)fresh.KeyNames(section);
            if (document.Value(section, key) != fresh.Value(section, key))
                broken = QStringLiteral("the document reads differently");
            continue;
        }
        if (operation == 1) {
            const QString value = QString::fromUtf8(text(false));
            if (!ProfileText::IsSoundSectionName(section) || !ProfileText::IsSoundKey(key)
                || !ProfileText::IsSoundValue(value) || section != ProfileText::Trimmed(section)
                || key != ProfileText::Trimmed(key))
                continue;
            const bool written = fresh.SetEntry(section, key, value);
            if (document.SetEntry(section, key, value) != written)
                broken = QStringLiteral("the document refuses differently");
            else if (written)
                broken = EntryWritten(file, fresh.Bytes(), section, key, value);
        } else {
            if (operation == 3)
                fresh.RemoveSection(section);
            else
                fresh.RemoveKey(section, key);
            broken = OthersUnchanged(file, fresh.Bytes(), section,
                                     operation == 3 ? std::nullopt : std::optional<QString>(key));
            if (Document(fresh.Bytes()).Value(section, key))
                broken = QStringLiteral("the entry is still there");
            if (operation == 3)
                document.RemoveSection(section);
            else
                document.RemoveKey(section, key);
        }
        file = fresh.Bytes();
        if (broken.isEmpty() && document.Bytes() != file)
            broken = QStringLiteral("the document's bytes differ");
    }
    return broken.isEmpty() ? broken : broken + QStringLiteral(" in ") + QString::fromLatin1(file.toPercentEncoding());
}

}

#ifdef PIXOLVA_FUZZ_TARGET
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString broken = Check(QByteArrayView(data, qsizetype(size)));
    if (!broken.isEmpty()) {
        std::fprintf(stderr, "invariant violated: %s\n", qPrintable(broken));
        std::abort();
    }
    return 0;
}
#else
#include <QtTest>

namespace {
const QList<QByteArray> Endings{"\r", "\n", "\r\n", "", QByteArray("\0", 1), "\n[", "\r\r", "\r\n["};
QByteArray File(const QByteArray &bytes, char form = 0) { return form + (char(bytes.size() >> 8) + (char(bytes.size() & 0xff) + bytes)); }
QByteArray Text(const QByteArray &bytes) { return char(bytes.size()) + bytes; }
}

class ProfileInvariantTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A last line ending in a bare CR used to keep the CR as part of its value once a line was
    // added after it: "[frmMain]\r\ncmdAbout.Caption=Info\r" read "Info\r". Each line end, in
    // each encoding.
    void writeAfterAnyLastLine_data()
    {
        QTest::addColumn<QByteArray>("ending");
        QTest::addColumn<int>("form");
        for (int form = 0; form < 4; ++form)
            for (const QByteArray &ending : Endings)
                QTest::addRow("%d %s", form, ending.toPercentEncoding().constData()) << ending << form;
    }
    void writeAfterAnyLastLine()
    {
        QFETCH(QByteArray, ending);
        QFETCH(int, form);
        const QByteArray file = File("[frmMain]\r\ncmdAbout.Caption=Info\xfc" + ending, char(form));
        for (const QByteArray &entry : {Text("frmAbout") + Text("Caption"), Text("frmMain") + Text("cmdOK"),
                                        Text("frmMain") + Text("cmdAbout.Caption")})
            QCOMPARE(Check(file + '\1' + entry + Text("Neu \xe2\x82\xac")), QString());
    }

    // A Windows-1252 file whose only bytes that are not UTF-8 are written over: it must not come
    // to read as UTF-8, which would turn "Ã¼" into "ü" elsewhere.
    void ansiFileKeepsItsTexts()
    {
        const QByteArray file = File("[a]\nx=\xc3\xbc\n[s]\nk=\xfc\n");
        QCOMPARE(Check(file + '\1' + Text("s") + Text("k") + Text("ok")), QString());
        QCOMPARE(Check(file + '\2' + Text("s") + Text("k") + '\1' + Text("s") + Text("j") + Text("\xc3\x83\xc2\xbc")), QString());
    }
};

QTEST_APPLESS_MAIN(ProfileInvariantTest)
#include "ProfileInvariantTest.moc"
#endif
