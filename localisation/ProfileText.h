// The profile (INI) format on the bytes of a file held in memory: lookups and line-exact edits.
//
// Format: a line "[name]" starts a section; a line "key=value" inside a section is an entry;
// lines starting with ";" are comments; everything else is kept but means nothing. Lines end at
// LF; a CR before it (or at the very end of the file) belongs to the line end. Section and key
// names compare without regard to case (AnsiText); blanks (spaces, tabs) around names and values
// do not count; a section whose name occurs twice is one section, and the first matching key wins.
// A NUL byte ends the name or value it stands in.
//
// An edit changes only the line it concerns (or adds lines of its own) and never what any other
// line means: new lines take the file's line end (CR LF when its first LF follows a CR, or when it
// has no LF and ends in CR; LF otherwise), and a last line without a line end gets one first,
// a bare CR there being completed to CR LF rather than followed by a second line end.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace ProfileText {

// A name or text argument as the file holds it: 8-bit, blanks around names removed.
QByteArray NameBytes(const QString &name);
QByteArray TextBytes(const QString &text);
// Whether the arguments fit on one line of the format without changing its meaning.
bool IsSoundSectionName(QByteArrayView name);
bool IsSoundKey(QByteArrayView key);
bool IsSoundValue(QByteArrayView value);

// The value of the first entry key in any section named section, if there is one.
std::optional<QByteArray> Value(const QByteArray &data, QByteArrayView section, QByteArrayView key);
// Names in file order, each once (first spelling wins), each followed by a NUL.
QByteArray SectionNames(const QByteArray &data);
QByteArray KeyNames(const QByteArray &data, QByteArrayView section);

// The file with the entry created or its value replaced (a new key at the end of the first
// occurrence of its section, a new section at the end of the file).
QByteArray WithEntry(const QByteArray &data, QByteArrayView section, QByteArrayView key, QByteArrayView value);
// The file without any entry key of the section, or without the section's lines altogether.
QByteArray WithoutKey(const QByteArray &data, QByteArrayView section, QByteArrayView key);
QByteArray WithoutSection(const QByteArray &data, QByteArrayView section);

// A file read once for many lookups and entry writes, as a window's load makes them: each
// section's entries are indexed on first use, edits are kept beside the unchanged bytes, and the
// result is the very file that the same WithEntry calls one after another would give.
class Document
{
public:
    explicit Document(QByteArray data);

    std::optional<QByteArray> Value(QByteArrayView section, QByteArrayView key);
    void SetEntry(QByteArrayView section, QByteArrayView key, QByteArrayView value);

    bool isChanged() const { return m_changed; }
    // The file as pieces in order: views into the original bytes and into the document's edits,
    // valid while the document lives and is not changed.
    QList<QByteArrayView> Pieces() const;
    QByteArray Bytes() const;

private:
    struct SectionIndex
    {
        bool inFile = false;       // the file has a section of this name
        qsizetype insertAt = 0;    // where its new keys go in the file
        int block = -1;            // new section: its number among the new sections
        QByteArray header;         // new section: its header line
        std::vector<std::pair<quint64, qsizetype>> entries; // folded key hash, line start; by hash
        QList<QByteArray> added;   // lines of new keys, without line end
    };
    SectionIndex &Section(QByteArrayView section);
    // The line that holds key's entry (its current content, edits applied), or null.
    QByteArray *Entry(SectionIndex &index, QByteArrayView key, QByteArray &scratch, qsizetype &originalLine);

    QByteArray m_data;
    QByteArray m_eol;
    QHash<QByteArray, SectionIndex> m_sections; // by folded name
    QList<QByteArray> m_blockOrder;             // folded names of the new sections, in order
    QHash<qsizetype, QByteArray> m_changedLines; // line start -> content before its line end
    bool m_changed = false;
    mutable QList<QByteArray> m_storage;
};

}
