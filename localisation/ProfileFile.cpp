// The profile (INI) file functions: one entry, one key list or one section list at a time.
#include "localisation/ProfileFile.h"

#include "localisation/AnsiText.h"

#include "base/FileReplace.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSet>

#include <cstring>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

struct Span
{
    qsizetype begin = 0;
    qsizetype end = 0;
};

// One line of the file with its parts as offsets, so nothing is copied while a file is searched.
struct Line
{
    enum Kind { Blank, Comment, Section, Entry, Other };
    Kind kind = Blank;
    qsizetype begin = 0;
    qsizetype contentEnd = 0; // before the line end
    qsizetype end = 0;        // after the line end
    Span name;                // section name or key: blanks trimmed, cut at a NUL
    Span value;               // entry value: blanks trimmed, cut at a NUL
    qsizetype valueArea = 0;  // where a new value goes: the old value's start, else after "="
};

class LineScanner
{
public:
    explicit LineScanner(const QByteArray &data) : m_data(data.constData()), m_size(data.size()) {}

    bool next(Line &line)
    {
        if (m_pos >= m_size)
            return false;
        line = Line{};
        line.begin = m_pos;
        const qsizetype nl = find('\n', m_pos, m_size);
        if (nl >= 0) {
            line.contentEnd = nl;
            line.end = line.contentEnd + 1;
        } else {
            line.contentEnd = line.end = m_size;
        }
        if (line.contentEnd > line.begin && m_data[line.contentEnd - 1] == '\r')
            --line.contentEnd;
        m_pos = line.end;
        classify(line);
        return true;
    }

private:
    void classify(Line &line) const
    {
        qsizetype s = line.begin;
        while (s < line.contentEnd && IsBlank(m_data[s]))
            ++s;
        if (s == line.contentEnd) {
            line.kind = Line::Blank;
        } else if (m_data[s] == '[') {
            line.kind = Line::Section;
            const qsizetype close = find(']', s + 1, line.contentEnd);
            line.name = trimmed(s + 1, close < 0 ? line.contentEnd : close);
        } else if (m_data[s] == ';') {
            line.kind = Line::Comment;
        } else {
            const qsizetype eq = find('=', s, line.contentEnd);
            if (eq < 0) {
                line.kind = Line::Other;
                return;
            }
            line.kind = Line::Entry;
            line.name = trimmed(s, eq);
            line.value = trimmed(eq + 1, line.contentEnd);
            line.valueArea = line.value.end > line.value.begin ? line.value.begin : eq + 1;
        }
    }

    qsizetype find(char c, qsizetype from, qsizetype to) const
    {
        if (to <= from)
            return -1;
        const void *p = std::memchr(m_data + from, c, size_t(to - from));
        return p ? static_cast<const char *>(p) - m_data : -1;
    }

    Span trimmed(qsizetype begin, qsizetype end) const
    {
        const qsizetype nul = find('\0', begin, end);
        if (nul >= 0)
            end = nul;
        while (begin < end && IsBlank(m_data[begin]))
            ++begin;
        while (end > begin && IsBlank(m_data[end - 1]))
            --end;
        return Span{begin, end};
    }

    const char *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
};

QByteArrayView View(const QByteArray &data, Span span)
{
    return QByteArrayView(data.constData() + span.begin, span.end - span.begin);
}

// Arguments as they stand in the file: 8-bit, blanks around names removed.
QByteArray NameBytes(const QString &name)
{
    const QByteArray encoded = AnsiText::FromUnicode(name);
    QByteArrayView bytes = encoded;
    while (!bytes.isEmpty() && IsBlank(bytes.front()))
        bytes = bytes.sliced(1);
    while (!bytes.isEmpty() && IsBlank(bytes.back()))
        bytes.chop(1);
    return bytes.toByteArray();
}

enum class FileState { Read, Missing, Unreadable };

FileState ReadWhole(const QString &fileName, QByteArray &data)
{
    data.clear();
    if (fileName.isEmpty())
        return FileState::Missing;
    // A directory, a pipe or a device in the file's place is not a profile file; opening a pipe
    // would even wait for a writer.
    const QFileInfo info(fileName);
    if (!info.exists())
        return FileState::Missing;
    if (!info.isFile())
        return FileState::Unreadable;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return FileState::Unreadable;
    data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        data.clear();
        return FileState::Unreadable;
    }
    return FileState::Read;
}

bool WriteWhole(const QString &fileName, const QByteArray &data)
{
    return FileReplace::Replace(fileName, data);
}

QByteArray LineEnd(const QByteArray &data)
{
    const qsizetype nl = data.indexOf('\n');
    if (nl > 0 && data.at(nl - 1) == '\r')
        return QByteArrayLiteral("\r\n");
    return QByteArrayLiteral("\n");
}

// Text inserted at pos starts on a line of its own even when the file's last line has no end.
QByteArray LineBreakBefore(const QByteArray &data, qsizetype pos, const QByteArray &eol)
{
    if (pos == data.size() && !data.isEmpty() && !data.endsWith('\n'))
        return eol;
    return QByteArray();
}

struct Edit
{
    qsizetype from;
    qsizetype to;
    QByteArray text;
};

QByteArray Apply(const QByteArray &data, const QList<Edit> &edits)
{
    QByteArray out;
    qsizetype size = data.size();
    for (const Edit &e : edits)
        size += e.text.size() - (e.to - e.from);
    out.reserve(size);
    qsizetype pos = 0;
    for (const Edit &e : edits) {
        out.append(data.constData() + pos, e.from - pos);
        out.append(e.text);
        pos = e.to;
    }
    out.append(data.constData() + pos, data.size() - pos);
    return out;
}

bool FitsOneLine(const QByteArray &bytes)
{
    return !bytes.contains('\n') && !bytes.contains('\r') && !bytes.contains('\0');
}

bool IsSoundSectionName(const QByteArray &name)
{
    return FitsOneLine(name) && !name.contains(']');
}

bool IsSoundKey(const QByteArray &key)
{
    return FitsOneLine(key) && !key.contains('=') && !key.startsWith('[') && !key.startsWith(';');
}

// A section as reads and writes see it: the entries of every section of that name, in file
// order (a name that occurs twice is one section), and where a new key of it goes: after the
// last line of its first occurrence that is neither blank nor a comment.
struct SectionEntries
{
    bool found = false;
    qsizetype insertAt = 0;
    QList<Line> entries;
};

SectionEntries FindSection(const QByteArray &data, QByteArrayView section)
{
    SectionEntries result;
    LineScanner scanner(data);
    Line line;
    bool inside = false;
    bool inFirst = false;
    while (scanner.next(line)) {
        if (line.kind == Line::Section) {
            inside = AnsiText::EqualsIgnoringCase(View(data, line.name), section);
            inFirst = inside && !result.found;
            if (inFirst) {
                result.found = true;
                result.insertAt = line.end;
            }
        } else if (inside) {
            if (line.kind == Line::Entry)
                result.entries.append(line);
            if (inFirst && line.kind != Line::Blank && line.kind != Line::Comment)
                result.insertAt = line.end;
        }
    }
    return result;
}

bool IsKey(const QByteArray &data, const Line &line, QByteArrayView key)
{
    return AnsiText::EqualsIgnoringCase(View(data, line.name), key);
}

QByteArray WithEntry(const QByteArray &data, const QByteArray &section, const QByteArray &key,
                     const QByteArray &value)
{
    const QByteArray eol = LineEnd(data);
    const SectionEntries found = FindSection(data, section);
    if (!found.found) {
        const QByteArray text = LineBreakBefore(data, data.size(), eol) + '[' + section + ']' + eol
            + key + '=' + value + eol;
        return Apply(data, {Edit{data.size(), data.size(), text}});
    }
    for (const Line &line : found.entries) {
        if (IsKey(data, line, key)) {
            if (View(data, line.value) == QByteArrayView(value))
                return data;
            return Apply(data, {Edit{line.valueArea, line.contentEnd, value}});
        }
    }
    const QByteArray text = LineBreakBefore(data, found.insertAt, eol) + key + '=' + value + eol;
    return Apply(data, {Edit{found.insertAt, found.insertAt, text}});
}

QByteArray WithoutKey(const QByteArray &data, const QByteArray &section, const QByteArray &key)
{
    QList<Edit> edits;
    for (const Line &line : FindSection(data, section).entries) {
        // Later duplicates go too, or the key would seem to survive its deletion.
        if (IsKey(data, line, key))
            edits.append(Edit{line.begin, line.end, QByteArray()});
    }
    return edits.isEmpty() ? data : Apply(data, edits);
}

QByteArray WithoutSection(const QByteArray &data, const QByteArray &section)
{
    QList<Edit> edits;
    LineScanner scanner(data);
    Line line;
    bool inside = false;
    while (scanner.next(line)) {
        if (line.kind == Line::Section) {
            const bool match = AnsiText::EqualsIgnoringCase(View(data, line.name), section);
            if (match && inside) {
                edits.last().to = line.end;
            } else if (match) {
                edits.append(Edit{line.begin, line.end, QByteArray()});
            }
            inside = match;
        } else if (inside) {
            edits.last().to = line.end;
        }
    }
    return edits.isEmpty() ? data : Apply(data, edits);
}

// The names, each once (first spelling wins) and each followed by a NUL, as the 8-bit list.
QByteArray NameList(const QByteArray &data, const QList<Span> &names)
{
    QByteArray list;
    QSet<QByteArray> seen;
    for (const Span &span : names) {
        const QByteArrayView name = View(data, span);
        QByteArray folded(name.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < name.size(); ++i)
            folded[i] = char(AnsiText::FoldCase(uchar(name[i])));
        if (seen.contains(folded))
            continue;
        seen.insert(folded);
        list.append(name.data(), name.size());
        list.append('\0');
    }
    return list;
}

qint32 CopyValue(QByteArrayView value, QString &buffer, qint32 size)
{
    const qsizetype n = qMin<qsizetype>(value.size(), size - 1);
    buffer = AnsiText::ToUnicode(value.first(n));
    return qint32(n);
}

qint32 CopyList(const QByteArray &list, QString &buffer, qint32 size)
{
    qsizetype n = list.size();
    if (n + 1 > size)
        n = qMax(0, size - 2);
    buffer = AnsiText::ToUnicode(QByteArrayView(list).first(n));
    return qint32(n);
}

} // namespace

namespace ProfileFile {

qint32 GetPrivateProfileStringA(const OptionalText &section, const OptionalText &key,
                                const OptionalText &sDefault, QString &buffer, qint32 size,
                                const QString &fileName)
{
    buffer.clear();
    if (size <= 0)
        return 0;
    QByteArray data;
    ReadWhole(fileName, data);

    if (!section) {
        QList<Span> names;
        LineScanner scanner(data);
        Line line;
        while (scanner.next(line)) {
            if (line.kind == Line::Section)
                names.append(line.name);
        }
        return CopyList(NameList(data, names), buffer, size);
    }

    const QByteArray sectionName = NameBytes(*section);
    if (!key) {
        QList<Span> names;
        for (const Line &line : FindSection(data, sectionName).entries)
            names.append(line.name);
        return CopyList(NameList(data, names), buffer, size);
    }

    const QByteArray keyName = NameBytes(*key);
    LineScanner scanner(data);
    Line line;
    bool inside = false;
    while (scanner.next(line)) {
        if (line.kind == Line::Section)
            inside = AnsiText::EqualsIgnoringCase(View(data, line.name), sectionName);
        else if (inside && line.kind == Line::Entry && IsKey(data, line, keyName))
            return CopyValue(View(data, line.value), buffer, size);
    }
    return CopyValue(AnsiText::FromUnicode(sDefault.value_or(QString())), buffer, size);
}

qint32 WritePrivateProfileStringA(const OptionalText &section, const OptionalText &key,
                                  const OptionalText &text, const QString &fileName)
{
    if (!section || fileName.isEmpty())
        return 0;
    const QByteArray sectionName = NameBytes(*section);
    if (!IsSoundSectionName(sectionName))
        return 0;
    QByteArray keyName;
    QByteArray value;
    if (key) {
        keyName = NameBytes(*key);
        if (!IsSoundKey(keyName))
            return 0;
        if (text) {
            value = AnsiText::FromUnicode(*text);
            if (!FitsOneLine(value))
                return 0;
        }
    }

    QByteArray data;
    const FileState state = ReadWhole(fileName, data);
    // Writing a file that could not be read would lose everything else in it.
    if (state == FileState::Unreadable)
        return 0;

    QByteArray changed;
    if (!key)
        changed = WithoutSection(data, sectionName);
    else if (!text)
        changed = WithoutKey(data, sectionName, keyName);
    else
        changed = WithEntry(data, sectionName, keyName, value);

    if (changed == data)
        return 1;
    return WriteWhole(fileName, changed) ? 1 : 0;
}

}
