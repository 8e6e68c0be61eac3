// Texts in the 8-bit code page of the language file (Windows-1252) and its case folding.
#include "localisation/AnsiText.h"

#include <QString>

#include <array>

namespace {

constexpr char Replacement = '?';

// Bytes 0x80..0x9F of Windows-1252; the other bytes are the Latin-1 characters of the same value.
// The five bytes the code page leaves undefined stand for the C1 controls of their value.
constexpr char16_t HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Both directions and the case folding for every byte, worked out once: the lookups run on each
// start-up text. A table of our own rather than a converter, which would load ICU's data.
struct CodePage
{
    std::array<char16_t, 256> toUnicode{};
    std::array<uchar, 256> fold{};
    std::array<qint16, 256> fromLatin1{};      // characters U+0000..U+00FF; -1 = not held
    std::array<std::pair<char16_t, uchar>, 256> fromOther{}; // characters above U+00FF
    int otherCount = 0;

    CodePage()
    {
        QString decoded(256, Qt::Uninitialized);
        for (int b = 0; b < 256; ++b)
            decoded[b] = QChar(b >= 0x80 && b < 0xA0 ? HighControls[b - 0x80] : char16_t(b));
        fromLatin1.fill(-1);
        for (int b = 0; b < 256; ++b) {
            const char16_t c = decoded.at(b).unicode();
            toUnicode[b] = c;
            if (c < 256)
                fromLatin1[c] = qint16(b);
            else
                fromOther[otherCount++] = {c, uchar(b)};
        }
        for (int b = 0; b < 256; ++b) {
            const char16_t folded = QChar(toUnicode[b]).toCaseFolded().unicode();
            const int back = encode(folded);
            fold[b] = back < 0 ? uchar(b) : uchar(back);
        }
    }

    int encode(char16_t c) const
    {
        if (c < 256)
            return fromLatin1[c];
        for (int i = 0; i < otherCount; ++i) {
            if (fromOther[i].first == c)
                return fromOther[i].second;
        }
        return -1;
    }
};

const CodePage &Page()
{
    static const CodePage page;
    return page;
}

} // namespace

namespace AnsiText {

QByteArray FromUnicode(const QString &text)
{
    const CodePage &page = Page();
    QByteArray bytes;
    bytes.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            bytes.append(Replacement);
            ++i;
            continue;
        }
        const int b = page.encode(c.unicode());
        bytes.append(b < 0 ? Replacement : char(b));
    }
    return bytes;
}

QString ToUnicode(QByteArrayView bytes)
{
    const CodePage &page = Page();
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char b : bytes)
        *out++ = QChar(page.toUnicode[uchar(b)]);
    return text;
}

QChar ToUnicode(uchar byte)
{
    return QChar(Page().toUnicode[byte]);
}

uchar FoldCase(uchar byte)
{
    return Page().fold[byte];
}

bool EqualsIgnoringCase(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    const CodePage &page = Page();
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (page.fold[uchar(a[i])] != page.fold[uchar(b[i])])
            return false;
    }
    return true;
}

}
