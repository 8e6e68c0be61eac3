// The profile (INI) format on the bytes of a file held in memory: one reading of its lines that
// serves lookups, name lists and line-exact edits.
//
// Encoding: a file that starts with FF FE is UTF-16 LE, one that starts with EF BB BF is UTF-8;
// one that holds only valid UTF-8 with at least one sequence beyond ASCII is UTF-8 too; any other
// file is Windows-1252 (AnsiText), which is also the form of a new file.
//
// Format: a line "[name]" starts a section; a line "key=value" inside a section is an entry;
// lines starting with ";" are comments; everything else is kept but means nothing. A line ends at
// LF, CR LF, CR CR LF or a bare CR. Blanks (space, tab, ^Z, VT, FF) around names and values do
// not count; one pair of matching quotes (" or ') around a value is removed. Section and key
// names compare without regard to case; a section whose name occurs twice is one section, and the
// first matching key wins. A NUL ends the name or value it stands in.
//
// An edit changes only the line it concerns (or adds lines of its own) and never what any other
// line means. Its text goes in the file's encoding (one that Windows-1252 cannot hold as "?") and
// its new lines take the file's first line end (LF in a file without one); a last line without
// a line end gets one first. A value that would not read back as written (blanks around it, or
// quotes of its own) is written in one more pair of quotes. The one exception to "only its own
// line": should a Windows-1252 file come to read as UTF-8 after an edit (its only bytes that are
// not UTF-8 replaced, the rest holding sequences that look like it), the whole file is written as
// UTF-8, so that every text keeps its meaning.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace ProfileText {

enum class Encoding { Ansi, Utf8, Utf8Bom, Utf16 };

// A name or text argument without the blanks around it.
QString Trimmed(const QString &text);
// Whether the arguments fit on one line of the format without changing its meaning.
bool IsSoundSectionName(const QString &name);
bool IsSoundKey(const QString &key);
bool IsSoundValue(const QString &value);

class Document
{
public:
    explicit Document(QByteArray data = QByteArray());

    Encoding encoding() const { return m_encoding; }
    // The file as text, without its byte order mark.
    QString Text() const;

    // The value of the first entry key in any section named section, if there is one.
    std::optional<QString> Value(const QString &section, const QString &key);
    // Names in file order, each once (first spelling wins).
    QStringList SectionNames() const;
    QStringList KeyNames(const QString &section);

    // Creates the entry or replaces its value (a new key at the end of the first occurrence of
    // its section, a new section at the end of the file). False, and nothing changed, when the
    // file's encoding cannot hold the section's or the key's name.
    bool SetEntry(const QString &section, const QString &key, const QString &value);
    // Removes every entry key of the section, or the section's lines altogether.
    void RemoveKey(const QString &section, const QString &key);
    void RemoveSection(const QString &section);

    bool isChanged() const { return m_changed; }
    // The file as pieces in order: views into the original bytes and into the document's edits,
    // valid while the document lives and is not changed.
    QList<QByteArrayView> Pieces() const;
    QByteArray Bytes() const;

private:
    struct Line
    {
        enum Kind : quint8 { Blank, Comment, Section, Entry, Other };
        Kind kind = Blank;
        qsizetype begin = 0;
        qsizetype contentEnd = 0; // before the line end
        qsizetype end = 0;        // after the line end
        qsizetype nameBegin = 0, nameEnd = 0;   // section name or key: blanks trimmed, cut at a NUL
        qsizetype valueBegin = 0, valueEnd = 0; // value: blanks and matching quotes removed
        qsizetype valueArea = 0;  // where a new value goes: the old value's start, else after "="
        int replacement = -1;     // index into m_replacements once the value is changed
    };
    struct Added
    {
        QString key;
        QString value;
    };
    struct SectionIndex
    {
        QString name;              // first spelling
        bool inFile = false;
        qsizetype insertAt = 0;    // where its new keys go in the file
        QList<int> ranges;         // pairs: first and past-the-last line of each occurrence
        bool linesIndexed = false;
        QList<int> entries;        // entry lines, in file order
        int lookups = 0;
        bool keysIndexed = false;
        QHash<QString, int> keys;  // folded key -> first entry line
        QList<Added> added;
        QHash<QString, int> addedKeys; // folded key -> index into added
    };
    struct Replacement
    {
        QByteArray content; // the line's bytes before its line end
        QString value;
    };

    void Load(QByteArray data, bool fromAnsi);
    void Split();
    void Index();
    void IndexLines(SectionIndex &index);
    void Classify(Line &line) const;
    char16_t Unit(qsizetype pos) const;
    qsizetype Find(char16_t c, qsizetype from, qsizetype to) const;
    void Trim(qsizetype &begin, qsizetype &end) const;
    QString Decode(qsizetype begin, qsizetype end) const;
    QByteArray Encode(const QString &text) const;
    QString Representable(const QString &text) const;
    QString KeyOf(const Line &line) const { return Decode(line.nameBegin, line.nameEnd); }
    QString ValueOf(const Line &line) const;
    bool IsKey(const Line &line, const QString &key) const;
    int FindKey(SectionIndex &index, const QString &key);
    QByteArray AddedLine(const QString &key, const QString &value) const;
    void Count(QByteArrayView bytes, int sign);
    void FollowEncoding();
    void Flatten();
    void Remove(const QList<std::pair<qsizetype, qsizetype>> &spans);

    QByteArray m_data;
    Encoding m_encoding = Encoding::Ansi;
    int m_width = 1;          // bytes per unit
    qsizetype m_start = 0;    // after the byte order mark
    qsizetype m_textEnd = 0;  // before an odd last byte of a UTF-16 file
    QString m_eol;            // the file's first line end
    std::vector<Line> m_lines;
    std::vector<SectionIndex> m_sectionList;  // the file's sections in order, then the new ones
    QHash<QString, int> m_sections;           // folded name -> index into m_sectionList
    QList<Replacement> m_replacements;
    // Lines that are not UTF-8, and lines beyond ASCII, of an 8-bit file as it now stands.
    qsizetype m_notUtf8 = 0;
    qsizetype m_beyondAscii = 0;
    bool m_changed = false;
    mutable QList<QByteArray> m_storage;
};

}
