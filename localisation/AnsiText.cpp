// Texts in the 8-bit code page of the language file (Windows-1252) and its case folding.
#include "localisation/AnsiText.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>

namespace {

constexpr char Replacement = '?';

// The converter's answer for every byte and every character it can hold, asked once: the
// lookups run on each start-up text and must not open a converter each time.
struct CodePage
{
    std::array<char16_t, 256> toUnicode{};
    std::array<uchar, 256> fold{};
    std::array<qint16, 256> fromLatin1{};      // characters U+0000..U+00FF; -1 = not held
    std::array<std::pair<char16_t, uchar>, 256> fromOther{}; // characters above U+00FF
    int otherCount = 0;

    CodePage()
    {
        QStringDecoder decoder("windows-1252");
        QString decoded;
        if (decoder.isValid()) {
            QByteArray all(256, Qt::Uninitialized);
            for (int b = 0; b < 256; ++b)
                all[b] = char(b);
            decoded = decoder(all);
        }
        // Without the converter (a Qt built without ICU) Latin-1 is the closest code page
        // that still holds the German letters.
        if (decoded.size() != 256 || decoder.hasError()) {
            decoded.resize(256);
            for (int b = 0; b < 256; ++b)
                decoded[b] = QChar(b);
        }
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
