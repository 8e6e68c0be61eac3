// The INI engine's invariant, checked once: run here on every kind of last line, and on random
// runs by libFuzzer when built as the fuzz target (PIXOLVA_FUZZ_TARGET).
#include "localisation/AnsiText.h"
#include "localisation/ProfileText.h"

#include <QtCore>

#include <optional>

namespace {

QList<QByteArray> Names(const QByteArray &list)
{
    QList<QByteArray> names = list.split('\0');
    names.removeLast();  // after the last NUL
    return names;
}

// Every section of before stays, and every entry other than those of section (or only key's,
// when given) reads the same in after. Empty when so, else what changed.
QString OthersUnchanged(const QByteArray &before, const QByteArray &after, QByteArrayView section,
                        std::optional<QByteArrayView> key)
{
    for (const QByteArray &s : Names(ProfileText::SectionNames(before))) {
        const bool sameSection = AnsiText::EqualsIgnoringCase(s, section);
        if (sameSection && !key)
            continue;
        if (!Names(ProfileText::SectionNames(after)).contains(s))
            return QStringLiteral("section lost: [%1]").arg(QString::fromLatin1(s));
        for (const QByteArray &k : Names(ProfileText::KeyNames(before, s)))
            if (!(sameSection && AnsiText::EqualsIgnoringCase(k, *key))
                && ProfileText::Value(before, s, k) != ProfileText::Value(after, s, k))
                return QStringLiteral("[%1] %2 changed").arg(QString::fromLatin1(s), QString::fromLatin1(k));
    }
    return {};
}

// after is before with the entry set to value: no line end of before changed, the entry reads
// back as written (blanks around it do not count), nothing else reads differently.
QString EntryWritten(const QByteArray &before, const QByteArray &after, QByteArrayView section, QByteArrayView key,
                     QByteArrayView value)
{
    qsizetype prefix = 0, suffix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix
           && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    if (before.mid(prefix, before.size() - prefix - suffix).contains('\n'))
        return QStringLiteral("a line end of another line changed");
    while (!value.isEmpty() && (value.front() == ' ' || value.front() == '\t'))
        value = value.sliced(1);
    while (!value.isEmpty() && (value.back() == ' ' || value.back() == '\t'))
        value.chop(1);
    if (ProfileText::Value(after, section, key) != value.toByteArray())
        return QStringLiteral("the entry does not read back");
    return OthersUnchanged(before, after, section, key);
}

// A run as bytes: the file (two length bytes, then the bytes), then operations, each a byte
// (0 lookup, 1 write, 2 key deletion, 3 section deletion), a section and a key, and for a write
// a value (one length byte each). Empty when every step kept the invariant, else what broke.
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
    QByteArray file = text(true);
    ProfileText::Document document(file);
    QString broken;
    while (!run.isEmpty() && broken.isEmpty()) {
        const int operation = byte() % 4;
        const QByteArray section = text(false), key = text(false);
        if (operation == 0) {
            (void)ProfileText::KeyNames(file, section);
            if (document.Value(section, key) != ProfileText::Value(file, section, key))
                broken = QStringLiteral("the document reads differently");
        } else if (operation == 1) {
            const QByteArray value = text(false);
            if (!ProfileText::IsSoundSectionName(section) || !ProfileText::IsSoundKey(key)
                || !ProfileText::IsSoundValue(value) || section != section.trimmed() || key != key.trimmed())
                continue;
            const QByteArray after = ProfileText::WithEntry(file, section, key, value);
            broken = EntryWritten(file, after, section, key, value);
            document.SetEntry(section, key, value);
            file = after;
        } else {
            const QByteArray after = operation == 3 ? ProfileText::WithoutSection(file, section)
                                                    : ProfileText::WithoutKey(file, section, key);
            broken = OthersUnchanged(file, after, section, operation == 3 ? std::nullopt : std::optional(QByteArrayView(key)));
            if (ProfileText::Value(after, section, key))
                broken = QStringLiteral("the entry is still there");
            file = after;
            document = ProfileText::Document(file);
        }
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
QByteArray File(const QByteArray &bytes) { return char(bytes.size() >> 8) + (char(bytes.size() & 0xff) + bytes); }
QByteArray Text(const QByteArray &bytes) { return char(bytes.size()) + bytes; }
}

class ProfileInvariantTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A last line ending in a bare CR used to keep the CR as part of its value once a line was
    // added after it: "[frmMain]\r\ncmdAbout.Caption=Info\r" read "Info\r".
    void writeAfterAnyLastLine_data()
    {
        QTest::addColumn<QByteArray>("ending");
        for (const QByteArray &ending : Endings)
            QTest::newRow(ending.toPercentEncoding().constData()) << ending;
    }
    void writeAfterAnyLastLine()
    {
        QFETCH(QByteArray, ending);
        const QByteArray file = File("[frmMain]\r\ncmdAbout.Caption=Info" + ending);
        for (const QByteArray &entry : {Text("frmAbout") + Text("Caption"), Text("frmMain") + Text("cmdOK"),
                                        Text("frmMain") + Text("cmdAbout.Caption")})
            QCOMPARE(Check(file + '\1' + entry + Text("Neu")), QString());
    }
};

QTEST_APPLESS_MAIN(ProfileInvariantTest)
#include "ProfileInvariantTest.moc"
#endif
