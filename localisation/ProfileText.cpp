// The profile (INI) format on the bytes of a file held in memory: one reading of its lines.
#include "localisation/ProfileText.h"

#include "localisation/AnsiText.h"

#include <QSet>

#include <algorithm>
#include <cstring>

namespace ProfileText {

namespace {

bool IsBlank(char16_t c)
{
    return c == ' ' || c == '\t' || c == 0x1A || c == 0x0B || c == 0x0C;
}

bool IsQuote(char16_t c)
{
    return c == '"' || c == '\'';
}

bool FitsOneLine(const QString &text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c.unicode() == 0)
            return false;
    }
    return true;
}

// Whether the bytes are UTF-8 (no overlong forms, no surrogates), and whether they hold anything
// beyond ASCII.
struct Utf8Check
{
    bool valid = true;
    bool beyondAscii = false;
};

Utf8Check CheckUtf8(QByteArrayView bytes)
{
    Utf8Check check;
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        // ASCII eight bytes at a time, as most of a language file is.
        if (i + 8 <= n) {
            quint64 eight;
            std::memcpy(&eight, p + i, 8);
            if (!(eight & 0x8080808080808080ull)) {
                i += 8;
                continue;
            }
        }
        const uchar b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        check.beyondAscii = true;
        int length = 0;
        char32_t c = 0;
        char32_t smallest = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2, c = b & 0x1F, smallest = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            length = 3, c = b & 0x0F, smallest = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4, c = b & 0x07, smallest = 0x10000;
        } else {
            check.valid = false;
            return check;
        }
        if (i + length > n) {
            check.valid = false;
            return check;
        }
        for (int k = 1; k < length; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) {
                check.valid = false;
                return check;
            }
            c = c << 6 | (p[i + k] & 0x3F);
        }
        if (c < smallest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            check.valid = false;
            return check;
        }
        i += length;
    }
    return check;
}

// Surrogates without their other half cannot be UTF-8: they become "?", as in Windows-1252.
QString WithoutLoneSurrogates(const QString &text)
{
    QString clean = text;
    for (qsizetype i = 0; i < clean.size(); ++i) {
        const QChar c = clean.at(i);
        if (c.isHighSurrogate() && i + 1 < clean.size() && clean.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            clean[i] = QLatin1Char('?');
    }
    return clean;
}

// The value as it goes into the file, so that it reads back as it is.
QString Written(const QString &value)
{
    if (value.isEmpty())
        return value;
    const char16_t first = value.front().unicode();
    const char16_t last = value.back().unicode();
    if (IsBlank(first) || IsBlank(last) || (value.size() >= 2 && IsQuote(first) && first == last))
        return QLatin1Char('"') + value + QLatin1Char('"');
    return value;
}

} // namespace

QString Trimmed(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text.at(begin).unicode()))
        ++begin;
    while (end > begin && IsBlank(text.at(end - 1).unicode()))
        --end;
    return text.mid(begin, end - begin);
}

bool IsSoundSectionName(const QString &name)
{
    return FitsOneLine(name) && !name.contains(QLatin1Char(']'));
}

bool IsSoundKey(const QString &key)
{
    return FitsOneLine(key) && !key.contains(QLatin1Char('=')) && !key.startsWith(QLatin1Char('['))
        && !key.startsWith(QLatin1Char(';'));
}

bool IsSoundValue(const QString &value)
{
    return FitsOneLine(value);
}

Document::Document(QByteArray data)
{
    Load(std::move(data), false);
}

// fromAnsi: the bytes are an edited Windows-1252 file, which stays that text should it now look
// like UTF-8.
void Document::Load(QByteArray data, bool fromAnsi)
{
    m_data = std::move(data);
    m_encoding = Encoding::Ansi;
    m_width = 1;
    m_start = 0;
    if (m_data.startsWith("\xFF\xFE")) {
        m_encoding = Encoding::Utf16;
        m_width = 2;
        m_start = 2;
    } else if (m_data.startsWith("\xEF\xBB\xBF")) {
        m_encoding = Encoding::Utf8Bom;
        m_start = 3;
    }
    m_textEnd = m_start + (m_data.size() - m_start) / m_width * m_width;
    Split();
    if (m_encoding == Encoding::Ansi && m_notUtf8 == 0 && m_beyondAscii > 0) {
        if (fromAnsi) {
            Load(AnsiText::ToUnicode(m_data).toUtf8(), false);
            return;
        }
        m_encoding = Encoding::Utf8;
    }
    Index();
}

char16_t Document::Unit(qsizetype pos) const
{
    const auto *d = reinterpret_cast<const uchar *>(m_data.constData());
    return m_width == 1 ? d[pos] : char16_t(d[pos] | d[pos + 1] << 8);
}

qsizetype Document::Find(char16_t c, qsizetype from, qsizetype to) const
{
    if (m_width == 1) {
        if (to <= from)
            return -1;
        const void *p = std::memchr(m_data.constData() + from, c, size_t(to - from));
        return p ? static_cast<const char *>(p) - m_data.constData() : -1;
    }
    for (qsizetype pos = from; pos < to; pos += m_width) {
        if (Unit(pos) == c)
            return pos;
    }
    return -1;
}

void Document::Trim(qsizetype &begin, qsizetype &end) const
{
    const qsizetype nul = Find(0, begin, end);
    if (nul >= 0)
        end = nul;
    while (begin < end && IsBlank(Unit(begin)))
        begin += m_width;
    while (end > begin && IsBlank(Unit(end - m_width)))
        end -= m_width;
}

QString Document::Decode(qsizetype begin, qsizetype end) const
{
    const QByteArrayView bytes = QByteArrayView(m_data).sliced(begin, end - begin);
    switch (m_encoding) {
    case Encoding::Ansi:
        return AnsiText::ToUnicode(bytes);
    case Encoding::Utf8:
    case Encoding::Utf8Bom:
        return QString::fromUtf8(bytes);
    case Encoding::Utf16:
        break;
    }
    QString text((end - begin) / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(Unit(begin + 2 * i));
    return text;
}

QByteArray Document::Encode(const QString &text) const
{
    switch (m_encoding) {
    case Encoding::Ansi:
        return AnsiText::FromUnicode(text);
    case Encoding::Utf8:
    case Encoding::Utf8Bom:
        return WithoutLoneSurrogates(text).toUtf8();
    case Encoding::Utf16:
        break;
    }
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        bytes[2 * i] = char(text.at(i).unicode() & 0xFF);
        bytes[2 * i + 1] = char(text.at(i).unicode() >> 8);
    }
    return bytes;
}

// The text as the file will give it back.
QString Document::Representable(const QString &text) const
{
    switch (m_encoding) {
    case Encoding::Ansi:
        return AnsiText::ToUnicode(AnsiText::FromUnicode(text));
    case Encoding::Utf8:
    case Encoding::Utf8Bom:
        return WithoutLoneSurrogates(text);
    case Encoding::Utf16:
        break;
    }
    return text;
}

QString Document::Text() const
{
    return Decode(m_start, m_textEnd);
}

void Document::Count(QByteArrayView bytes, int sign)
{
    if (m_encoding != Encoding::Ansi && m_encoding != Encoding::Utf8)
        return;
    const Utf8Check check = CheckUtf8(bytes);
    m_notUtf8 += check.valid ? 0 : sign;
    m_beyondAscii += check.beyondAscii ? sign : 0;
}

void Document::Split()
{
    m_lines.clear();
    m_sectionList.clear();
    m_sections.clear();
    m_replacements.clear();
    m_eol.clear();
    m_notUtf8 = m_beyondAscii = 0;
    const qsizetype w = m_width;
    const qsizetype end = m_textEnd;
    const char *bytes = m_data.constData();
    for (qsizetype pos = m_start; pos < end;) {
        Line line;
        line.begin = pos;
        qsizetype p = pos;
        if (w == 1) {
            while (p < end && bytes[p] != '\n' && bytes[p] != '\r')
                ++p;
        } else {
            while (p < end && Unit(p) != '\n' && Unit(p) != '\r')
                p += w;
        }
        line.contentEnd = p;
        if (p < end) {
            if (Unit(p) == '\r' && p + w < end && Unit(p + w) == '\n')
                p += 2 * w;
            else if (Unit(p) == '\r' && p + 2 * w < end && Unit(p + w) == '\r' && Unit(p + 2 * w) == '\n')
                p += 3 * w;
            else
                p += w;
        }
        line.end = p;
        if (m_eol.isEmpty())
            m_eol = Decode(line.contentEnd, line.end);
        Count(QByteArrayView(m_data).sliced(line.begin, line.contentEnd - line.begin), 1);
        m_lines.push_back(line);
        pos = p;
    }
}

// The sections: their names and where their occurrences lie. The lines inside are looked at
// when their section is first asked for.
void Document::Index()
{
    int current = -1;
    for (int i = 0; i < int(m_lines.size()); ++i) {
        Line &line = m_lines[size_t(i)];
        qsizetype s = line.begin;
        while (s < line.contentEnd && IsBlank(Unit(s)))
            s += m_width;
        if (s < line.contentEnd && Unit(s) == '[') {
            Classify(line);
            const QString name = Decode(line.nameBegin, line.nameEnd);
            const QString folded = name.toCaseFolded();
            current = m_sections.value(folded, -1);
            if (current < 0) {
                current = int(m_sectionList.size());
                SectionIndex index;
                index.name = name;
                index.inFile = true;
                m_sectionList.push_back(std::move(index));
                m_sections.insert(folded, current);
            }
            m_sectionList[size_t(current)].ranges << i << i + 1;
        } else if (current >= 0) {
            m_sectionList[size_t(current)].ranges.last() = i + 1;
        }
    }
}

void Document::IndexLines(SectionIndex &index)
{
    if (index.linesIndexed)
        return;
    index.linesIndexed = true;
    for (qsizetype r = 0; r < index.ranges.size(); r += 2) {
        const int header = index.ranges[r];
        if (r == 0)
            index.insertAt = m_lines[size_t(header)].end;
        for (int i = header + 1; i < index.ranges[r + 1]; ++i) {
            Line &line = m_lines[size_t(i)];
            Classify(line);
            if (line.kind == Line::Entry)
                index.entries.append(i);
            if (r == 0 && line.kind != Line::Blank && line.kind != Line::Comment)
                index.insertAt = line.end;
        }
    }
}

void Document::Classify(Line &line) const
{
    const qsizetype w = m_width;
    qsizetype s = line.begin;
    while (s < line.contentEnd && IsBlank(Unit(s)))
        s += w;
    if (s == line.contentEnd) {
        line.kind = Line::Blank;
        return;
    }
    const char16_t c = Unit(s);
    if (c == '[') {
        line.kind = Line::Section;
        const qsizetype close = Find(']', s + w, line.contentEnd);
        line.nameBegin = s + w;
        line.nameEnd = close < 0 ? line.contentEnd : close;
        Trim(line.nameBegin, line.nameEnd);
        return;
    }
    if (c == ';') {
        line.kind = Line::Comment;
        return;
    }
    const qsizetype eq = Find('=', s, line.contentEnd);
    if (eq < 0) {
        line.kind = Line::Other;
        return;
    }
    line.kind = Line::Entry;
    line.nameBegin = s;
    line.nameEnd = eq;
    Trim(line.nameBegin, line.nameEnd);
    line.valueBegin = eq + w;
    line.valueEnd = line.contentEnd;
    Trim(line.valueBegin, line.valueEnd);
    line.valueArea = line.valueEnd > line.valueBegin ? line.valueBegin : eq + w;
    if (line.valueEnd - line.valueBegin >= 2 * w && IsQuote(Unit(line.valueBegin))
        && Unit(line.valueBegin) == Unit(line.valueEnd - w)) {
        line.valueBegin += w;
        line.valueEnd -= w;
    }
}

QString Document::ValueOf(const Line &line) const
{
    if (line.replacement >= 0)
        return m_replacements.at(line.replacement).value;
    return Decode(line.valueBegin, line.valueEnd);
}

// Whether the line's key is key; a Windows-1252 file's bytes are compared without a text made of them.
bool Document::IsKey(const Line &line, const QString &key) const
{
    if (m_encoding != Encoding::Ansi)
        return KeyOf(line).compare(key, Qt::CaseInsensitive) == 0;
    if (line.nameEnd - line.nameBegin != key.size())
        return false;
    for (qsizetype i = 0; i < key.size(); ++i) {
        const QChar c = AnsiText::ToUnicode(uchar(m_data.at(line.nameBegin + i)));
        if (c != key.at(i) && c.toCaseFolded() != key.at(i).toCaseFolded())
            return false;
    }
    return true;
}

// The first entry line of the key, or -1. A few lookups compare line by line; a section that is
// asked more often (a window's load) gets an index of its keys.
int Document::FindKey(SectionIndex &index, const QString &key)
{
    IndexLines(index);
    if (!index.keysIndexed && ++index.lookups > 8) {
        index.keysIndexed = true;
        for (const int i : std::as_const(index.entries)) {
            const QString folded = KeyOf(m_lines[size_t(i)]).toCaseFolded();
            if (!index.keys.contains(folded))
                index.keys.insert(folded, i);
        }
    }
    if (index.keysIndexed)
        return index.keys.value(key.toCaseFolded(), -1);
    for (const int i : std::as_const(index.entries)) {
        if (IsKey(m_lines[size_t(i)], key))
            return i;
    }
    return -1;
}

std::optional<QString> Document::Value(const QString &section, const QString &key)
{
    const int id = m_sections.value(section.toCaseFolded(), -1);
    if (id < 0)
        return std::nullopt;
    SectionIndex &index = m_sectionList[size_t(id)];
    const int line = FindKey(index, key);
    if (line >= 0)
        return ValueOf(m_lines[size_t(line)]);
    if (index.added.isEmpty())
        return std::nullopt;
    const auto added = index.addedKeys.constFind(key.toCaseFolded());
    if (added != index.addedKeys.constEnd())
        return index.added.at(*added).value;
    return std::nullopt;
}

QStringList Document::SectionNames() const
{
    QStringList names;
    for (const SectionIndex &index : m_sectionList)
        names.append(index.name);
    return names;
}

QStringList Document::KeyNames(const QString &section)
{
    QStringList names;
    const int id = m_sections.value(section.toCaseFolded(), -1);
    if (id < 0)
        return names;
    SectionIndex &index = m_sectionList[size_t(id)];
    IndexLines(index);
    QSet<QString> seen;
    const auto add = [&](const QString &name) {
        const QString folded = name.toCaseFolded();
        if (!seen.contains(folded)) {
            seen.insert(folded);
            names.append(name);
        }
    };
    for (const int i : index.entries)
        add(KeyOf(m_lines[size_t(i)]));
    for (const Added &added : index.added)
        add(added.key);
    return names;
}

QByteArray Document::AddedLine(const QString &key, const QString &value) const
{
    return Encode(key + QLatin1Char('=') + Written(value));
}

bool Document::SetEntry(const QString &section, const QString &key, const QString &value)
{
    if (Representable(section) != section || Representable(key) != key)
        return false;
    const QString folded = section.toCaseFolded();
    int id = m_sections.value(folded, -1);
    if (id < 0) {
        id = int(m_sectionList.size());
        SectionIndex index;
        index.name = section;
        m_sectionList.push_back(std::move(index));
        m_sections.insert(folded, id);
        Count(Encode(QLatin1Char('[') + section + QLatin1Char(']')), 1);
    }
    SectionIndex &index = m_sectionList[size_t(id)];
    const QString shown = Representable(value);
    const QString foldedKey = key.toCaseFolded();
    const int lineNo = FindKey(index, key);
    const auto added = index.addedKeys.constFind(foldedKey);
    if (lineNo >= 0) {
        Line &line = m_lines[size_t(lineNo)];
        if (ValueOf(line) == shown)
            return true;
        const QByteArray content = m_data.mid(line.begin, line.valueArea - line.begin) + Encode(Written(shown));
        Count(line.replacement >= 0 ? QByteArrayView(m_replacements.at(line.replacement).content)
                                    : QByteArrayView(m_data).sliced(line.begin, line.contentEnd - line.begin),
              -1);
        Count(content, 1);
        if (line.replacement < 0) {
            line.replacement = int(m_replacements.size());
            m_replacements.append(Replacement{content, shown});
        } else {
            m_replacements[line.replacement] = Replacement{content, shown};
        }
    } else if (added != index.addedKeys.constEnd()) {
        Added &entry = index.added[*added];
        if (entry.value == shown)
            return true;
        Count(AddedLine(entry.key, entry.value), -1);
        entry.value = shown;
        Count(AddedLine(entry.key, entry.value), 1);
    } else {
        index.addedKeys.insert(foldedKey, int(index.added.size()));
        index.added.append(Added{key, shown});
        Count(AddedLine(key, shown), 1);
    }
    m_changed = true;
    FollowEncoding();
    return true;
}

// After an edit of an 8-bit file: what it now reads as.
void Document::FollowEncoding()
{
    if (m_encoding == Encoding::Ansi && m_notUtf8 == 0 && m_beyondAscii > 0)
        Load(Bytes(), true);
    else if (m_encoding == Encoding::Utf8 && m_beyondAscii == 0)
        m_encoding = Encoding::Ansi; // all ASCII now, which reads the same either way
}

// The edits made part of the bytes, so that lines can be taken out.
void Document::Flatten()
{
    if (m_changed)
        Load(Bytes(), m_encoding == Encoding::Ansi);
}

void Document::Remove(const QList<std::pair<qsizetype, qsizetype>> &spans)
{
    if (spans.isEmpty())
        return;
    QByteArray out;
    qsizetype pos = 0;
    for (const auto &[from, to] : spans) {
        out.append(m_data.constData() + pos, from - pos);
        pos = to;
    }
    out.append(m_data.constData() + pos, m_data.size() - pos);
    Load(out, m_encoding == Encoding::Ansi);
    m_changed = true;
}

void Document::RemoveKey(const QString &section, const QString &key)
{
    Flatten();
    const int id = m_sections.value(section.toCaseFolded(), -1);
    if (id < 0)
        return;
    // Later duplicates go too, or the key would seem to survive its deletion.
    const QString folded = key.toCaseFolded();
    QList<std::pair<qsizetype, qsizetype>> spans;
    IndexLines(m_sectionList[size_t(id)]);
    for (const int i : m_sectionList[size_t(id)].entries) {
        const Line &line = m_lines[size_t(i)];
        if (KeyOf(line).toCaseFolded() == folded)
            spans.append({line.begin, line.end});
    }
    Remove(spans);
}

void Document::RemoveSection(const QString &section)
{
    Flatten();
    const int id = m_sections.value(section.toCaseFolded(), -1);
    if (id < 0)
        return;
    const QList<int> &ranges = m_sectionList[size_t(id)].ranges;
    QList<std::pair<qsizetype, qsizetype>> spans;
    for (qsizetype r = 0; r < ranges.size(); r += 2)
        spans.append({m_lines[size_t(ranges[r])].begin, m_lines[size_t(ranges[r + 1] - 1)].end});
    Remove(spans);
}

QList<QByteArrayView> Document::Pieces() const
{
    // Everything that goes into the file at one place: inserted lines (before the line that starts
    // there) and replaced lines, in file order; at the end of the file the keys of sections found
    // in it come before the new sections.
    struct Change
    {
        qsizetype at;
        int order; // 0 inserted keys, 1 new sections, 2 a replaced line
        int index; // of the section or the line
    };
    QList<Change> changes;
    bool newSections = false;
    for (int i = 0; i < int(m_sectionList.size()); ++i) {
        const SectionIndex &index = m_sectionList[size_t(i)];
        if (index.inFile && !index.added.isEmpty())
            changes.append(Change{index.insertAt, 0, i});
        newSections = newSections || !index.inFile;
    }
    for (int i = 0; i < int(m_lines.size()); ++i) {
        if (m_lines[size_t(i)].replacement >= 0)
            changes.append(Change{m_lines[size_t(i)].begin, 2, i});
    }
    if (newSections)
        changes.append(Change{m_textEnd, 1, -1});
    std::sort(changes.begin(), changes.end(),
              [](const Change &a, const Change &b) { return a.at != b.at ? a.at < b.at : a.order < b.order; });

    m_storage.clear();
    QList<QByteArrayView> pieces;
    qsizetype pos = 0;
    bool brokeLastLine = false;
    const QString fileEol = m_eol.isEmpty() ? QStringLiteral("\n") : m_eol;
    const auto lines = [&](const QStringList &added, qsizetype at) {
        QString text;
        // A last line without a line end gets one first.
        if (!brokeLastLine && at == m_textEnd && m_textEnd > m_start && Unit(m_textEnd - m_width) != '\n'
            && Unit(m_textEnd - m_width) != '\r') {
            text = fileEol;
            brokeLastLine = true;
        }
        // A bare CR before a line that starts with LF would become one CR LF with it.
        const QString eol = fileEol == QLatin1String("\r") && at < m_textEnd && Unit(at) == '\n' ? QStringLiteral("\r\n") : fileEol;
        for (const QString &line : added)
            text += line + eol;
        m_storage.append(Encode(text));
    };
    const auto entryLines = [](const SectionIndex &index, QStringList &out) {
        for (const Added &added : index.added)
            out.append(added.key + QLatin1Char('=') + Written(added.value));
    };
    for (const Change &change : changes) {
        pieces.append(QByteArrayView(m_data).sliced(pos, change.at - pos));
        pos = change.at;
        QStringList added;
        if (change.order == 0) {
            entryLines(m_sectionList[size_t(change.index)], added);
            lines(added, change.at);
        } else if (change.order == 1) {
            for (const SectionIndex &index : m_sectionList) {
                if (index.inFile)
                    continue;
                added.append(QLatin1Char('[') + index.name + QLatin1Char(']'));
                entryLines(index, added);
            }
            lines(added, change.at);
        } else {
            const Line &line = m_lines[size_t(change.index)];
            m_storage.append(m_replacements.at(line.replacement).content);
            pos = line.contentEnd;
        }
        pieces.append(m_storage.last());
    }
    pieces.append(QByteArrayView(m_data).sliced(pos));
    return pieces;
}

QByteArray Document::Bytes() const
{
    QByteArray out;
    for (const QByteArrayView piece : Pieces())
        out.append(piece.data(), piece.size());
    return out;
}

}
