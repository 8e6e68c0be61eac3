// The profile (INI) format on the bytes of a file held in memory: lookups and line-exact edits.
#include "localisation/ProfileText.h"

#include "localisation/AnsiText.h"

#include <QSet>

#include <algorithm>
#include <cstring>

namespace ProfileText {

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
    explicit LineScanner(QByteArrayView data, qsizetype from = 0)
        : m_data(data.data()), m_size(data.size()), m_pos(from)
    {
    }

    // The next line's extent only; classify() fills in the rest when it is wanted.
    bool skim(Line &line)
    {
        if (m_pos >= m_size)
            return false;
        line = Line{};
        line.begin = m_pos;
        const qsizetype nl = find('\n', m_pos, m_size);
        line.contentEnd = nl >= 0 ? nl : m_size;
        line.end = nl >= 0 ? nl + 1 : m_size;
        if (line.contentEnd > line.begin && m_data[line.contentEnd - 1] == '\r')
            --line.contentEnd;
        m_pos = line.end;
        return true;
    }

    bool next(Line &line)
    {
        if (!skim(line))
            return false;
        classify(line);
        return true;
    }

    // Whether the skimmed line is a section line, without looking further into it.
    bool isSection(const Line &line) const
    {
        qsizetype s = line.begin;
        while (s < line.contentEnd && IsBlank(m_data[s]))
            ++s;
        return s < line.contentEnd && m_data[s] == '[';
    }

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

private:
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
    qsizetype m_pos;
};

QByteArrayView View(QByteArrayView data, Span span)
{
    return data.sliced(span.begin, span.end - span.begin);
}

// The one line held in bytes (without line end), classified.
Line LineOf(QByteArrayView content)
{
    Line line;
    line.contentEnd = line.end = content.size();
    LineScanner(content).classify(line);
    return line;
}

QByteArray Folded(QByteArrayView name)
{
    QByteArray folded(name.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < name.size(); ++i)
        folded[i] = char(AnsiText::FoldCase(uchar(name[i])));
    return folded;
}

quint64 FoldedHash(QByteArrayView name)
{
    quint64 hash = 14695981039346656037ull;
    for (const char c : name)
        hash = (hash ^ AnsiText::FoldCase(uchar(c))) * 1099511628211ull;
    return hash;
}

bool FitsOneLine(QByteArrayView bytes)
{
    return !bytes.contains('\n') && !bytes.contains('\r') && !bytes.contains('\0');
}

QByteArray LineEnd(QByteArrayView data)
{
    const qsizetype nl = data.indexOf('\n');
    if (nl > 0 && data.at(nl - 1) == '\r')
        return QByteArrayLiteral("\r\n");
    // A file of bare CRs: its lines grow CR LF ends, the closest thing that reads as one.
    if (nl < 0 && data.endsWith('\r'))
        return QByteArrayLiteral("\r\n");
    return QByteArrayLiteral("\n");
}

// What goes before text inserted at pos so that it starts on a line of its own: nothing inside
// the file, a line end after a last line that has none. A bare CR there is completed to CR LF,
// so that it is not left in the old line, where it would become part of the value.
QByteArray LineBreakBefore(QByteArrayView data, qsizetype pos, const QByteArray &eol)
{
    if (pos != data.size() || data.isEmpty() || data.endsWith('\n'))
        return QByteArray();
    return data.endsWith('\r') ? QByteArrayLiteral("\n") : eol;
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

bool IsKey(QByteArrayView data, const Line &line, QByteArrayView key)
{
    return AnsiText::EqualsIgnoringCase(View(data, line.name), key);
}

// The names, each once (first spelling wins) and each followed by a NUL, as the 8-bit list.
QByteArray NameList(const QByteArray &data, const QList<Span> &names)
{
    QByteArray list;
    QSet<QByteArray> seen;
    for (const Span &span : names) {
        const QByteArrayView name = View(data, span);
        const QByteArray folded = Folded(name);
        if (seen.contains(folded))
            continue;
        seen.insert(folded);
        list.append(name.data(), name.size());
        list.append('\0');
    }
    return list;
}

// The line with its value area replaced, or the line as it was when the value is the same.
QByteArray WithValue(QByteArrayView content, const Line &line, qsizetype offset, QByteArrayView value)
{
    QByteArray out = content.first(line.valueArea - offset).toByteArray();
    out.append(value.data(), value.size());
    out.append(content.sliced(line.contentEnd - offset));
    return out;
}

} // namespace

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

QByteArray TextBytes(const QString &text)
{
    return AnsiText::FromUnicode(text);
}

bool IsSoundSectionName(QByteArrayView name)
{
    return FitsOneLine(name) && !name.contains(']');
}

bool IsSoundKey(QByteArrayView key)
{
    return FitsOneLine(key) && !key.contains('=') && !key.startsWith('[') && !key.startsWith(';');
}

bool IsSoundValue(QByteArrayView value)
{
    return FitsOneLine(value);
}

std::optional<QByteArray> Value(const QByteArray &data, QByteArrayView section, QByteArrayView key)
{
    LineScanner scanner(data);
    Line line;
    bool inside = false;
    while (scanner.next(line)) {
        if (line.kind == Line::Section)
            inside = AnsiText::EqualsIgnoringCase(View(data, line.name), section);
        else if (inside && line.kind == Line::Entry && IsKey(data, line, key))
            return View(data, line.value).toByteArray();
    }
    return std::nullopt;
}

QByteArray SectionNames(const QByteArray &data)
{
    QList<Span> names;
    LineScanner scanner(data);
    Line line;
    while (scanner.next(line)) {
        if (line.kind == Line::Section)
            names.append(line.name);
    }
    return NameList(data, names);
}

QByteArray KeyNames(const QByteArray &data, QByteArrayView section)
{
    QList<Span> names;
    for (const Line &line : FindSection(data, section).entries)
        names.append(line.name);
    return NameList(data, names);
}

QByteArray WithEntry(const QByteArray &data, QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    const QByteArray eol = LineEnd(data);
    const SectionEntries found = FindSection(data, section);
    if (!found.found) {
        QByteArray text = LineBreakBefore(data, data.size(), eol) + '[';
        text.append(section).append(']').append(eol).append(key).append('=').append(value).append(eol);
        return Apply(data, {Edit{data.size(), data.size(), text}});
    }
    for (const Line &line : found.entries) {
        if (IsKey(data, line, key)) {
            if (View(data, line.value) == value)
                return data;
            return Apply(data, {Edit{line.valueArea, line.contentEnd, value.toByteArray()}});
        }
    }
    QByteArray text = LineBreakBefore(data, found.insertAt, eol);
    text.append(key).append('=').append(value).append(eol);
    return Apply(data, {Edit{found.insertAt, found.insertAt, text}});
}

QByteArray WithoutKey(const QByteArray &data, QByteArrayView section, QByteArrayView key)
{
    QList<Edit> edits;
    for (const Line &line : FindSection(data, section).entries) {
        // Later duplicates go too, or the key would seem to survive its deletion.
        if (IsKey(data, line, key))
            edits.append(Edit{line.begin, line.end, QByteArray()});
    }
    return edits.isEmpty() ? data : Apply(data, edits);
}

QByteArray WithoutSection(const QByteArray &data, QByteArrayView section)
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

Document::Document(QByteArray data) : m_data(std::move(data)), m_eol(LineEnd(m_data)) {}

Document::SectionIndex &Document::Section(QByteArrayView section)
{
    const QByteArray folded = Folded(section);
    auto found = m_sections.find(folded);
    if (found != m_sections.end())
        return *found;

    // One pass over the file; only the lines of this section are looked at closely.
    SectionIndex index;
    LineScanner scanner(m_data);
    Line line;
    bool inside = false;
    bool inFirst = false;
    while (scanner.skim(line)) {
        if (scanner.isSection(line)) {
            scanner.classify(line);
            inside = AnsiText::EqualsIgnoringCase(View(m_data, line.name), section);
            inFirst = inside && !index.inFile;
            if (inFirst) {
                index.inFile = true;
                index.insertAt = line.end;
            }
        } else if (inside) {
            scanner.classify(line);
            if (line.kind == Line::Entry)
                index.entries.emplace_back(FoldedHash(View(m_data, line.name)), line.begin);
            if (inFirst && line.kind != Line::Blank && line.kind != Line::Comment)
                index.insertAt = line.end;
        }
    }
    std::stable_sort(index.entries.begin(), index.entries.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    return *m_sections.insert(folded, std::move(index));
}

QByteArray *Document::Entry(SectionIndex &index, QByteArrayView key, QByteArray &scratch, qsizetype &originalLine)
{
    originalLine = -1;
    // A key added here was missing from the file, so it is the only one of its name.
    for (QByteArray &added : index.added) {
        if (IsKey(added, LineOf(added), key))
            return &added;
    }
    const quint64 hash = FoldedHash(key);
    auto it = std::lower_bound(index.entries.begin(), index.entries.end(), hash,
                               [](const auto &entry, quint64 h) { return entry.first < h; });
    // Equal hashes stay in file order, so the first that really matches is the file's first.
    for (; it != index.entries.end() && it->first == hash; ++it) {
        auto changed = m_changedLines.find(it->second);
        if (changed != m_changedLines.end()) {
            if (IsKey(*changed, LineOf(*changed), key)) {
                originalLine = it->second;
                return &*changed;
            }
            continue;
        }
        LineScanner scanner(m_data, it->second);
        Line line;
        scanner.next(line);
        if (IsKey(m_data, line, key)) {
            originalLine = it->second;
            scratch = QByteArrayView(m_data).sliced(line.begin, line.contentEnd - line.begin).toByteArray();
            return &scratch;
        }
    }
    return nullptr;
}

std::optional<QByteArray> Document::Value(QByteArrayView section, QByteArrayView key)
{
    SectionIndex &index = Section(section);
    QByteArray scratch;
    qsizetype original = -1;
    const QByteArray *content = Entry(index, key, scratch, original);
    if (!content)
        return std::nullopt;
    return View(*content, LineOf(*content).value).toByteArray();
}

void Document::SetEntry(QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    SectionIndex &index = Section(section);
    const QByteArray line = key.toByteArray().append('=').append(value);
    if (!index.inFile && index.block < 0) {
        index.block = int(m_blockOrder.size());
        index.header = '[' + section.toByteArray() + ']';
        m_blockOrder.append(Folded(section));
        index.added.append(line);
        m_changed = true;
        return;
    }
    QByteArray scratch;
    qsizetype original = -1;
    QByteArray *content = Entry(index, key, scratch, original);
    if (!content) {
        index.added.append(line);
        m_changed = true;
        return;
    }
    const Line parsed = LineOf(*content);
    if (View(*content, parsed.value) == value)
        return;
    const QByteArray changed = WithValue(*content, parsed, 0, value);
    if (original >= 0)
        m_changedLines.insert(original, changed);
    else
        *content = changed;
    m_changed = true;
}

QList<QByteArrayView> Document::Pieces() const
{
    // Everything that goes into the file at one place: inserted lines (before the line that starts
    // there) and replaced lines, in file order; at the end of the file the keys of sections found
    // in it come before the new sections.
    struct Change
    {
        qsizetype at;
        int order;           // 0 inserted keys, 1 new sections, 2 a replaced line
        const QByteArray *line; // replaced line
        const SectionIndex *section;
    };
    QList<Change> changes;
    for (const SectionIndex &index : m_sections) {
        if (index.inFile && !index.added.isEmpty())
            changes.append(Change{index.insertAt, 0, nullptr, &index});
    }
    for (auto it = m_changedLines.begin(); it != m_changedLines.end(); ++it)
        changes.append(Change{it.key(), 2, &it.value(), nullptr});
    if (!m_blockOrder.isEmpty())
        changes.append(Change{m_data.size(), 1, nullptr, nullptr});
    std::sort(changes.begin(), changes.end(),
              [](const Change &a, const Change &b) { return a.at != b.at ? a.at < b.at : a.order < b.order; });

    m_storage.clear();
    QList<QByteArrayView> pieces;
    qsizetype pos = 0;
    bool brokeLastLine = false;
    const auto lines = [&](const QList<QByteArray> &added, qsizetype at) {
        QByteArray text;
        if (!brokeLastLine) {
            text = LineBreakBefore(m_data, at, m_eol);
            brokeLastLine = !text.isEmpty();
        }
        for (const QByteArray &line : added)
            text += line + m_eol;
        m_storage.append(text);
    };
    for (const Change &change : changes) {
        pieces.append(QByteArrayView(m_data).sliced(pos, change.at - pos));
        pos = change.at;
        if (change.order == 0) {
            lines(change.section->added, change.at);
        } else if (change.order == 1) {
            QList<QByteArray> added;
            for (const QByteArray &name : m_blockOrder) {
                const SectionIndex &index = *m_sections.constFind(name);
                added.append(index.header);
                added.append(index.added);
            }
            lines(added, change.at);
        } else {
            Line line;
            LineScanner(m_data, change.at).skim(line);
            m_storage.append(*change.line);
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
