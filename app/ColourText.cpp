// Number and hexadecimal texts of the colour fields: parsing, clamping, normal forms.
#include "app/ColourText.h"

#include <algorithm>
#include <limits>

namespace {
int HexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

// Digits of text from index start on, in the given base; -1 when a character is no digit of that
// base, when there is no digit at all, or when the value leaves 32 signed bits.
qint32 ParseDigits(const QString &text, qsizetype start, int base)
{
    if (start >= text.size())
        return -1;
    qint64 value = 0;
    for (qsizetype i = start; i < text.size(); ++i) {
        const int digit = HexDigitValue(text.at(i));
        if (digit < 0 || digit >= base)
            return -1;
        value = value * base + digit;
        if (value > std::numeric_limits<qint32>::max())
            return -1;
    }
    return static_cast<qint32>(value);
}
}

bool IsDecimalDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

bool IsHexDigit(QChar c)
{
    return HexDigitValue(c) >= 0;
}

qint32 TextToLong(const QString &text)
{
    if (text.isEmpty())
        return 0;
    if (text.size() >= 2 && text.at(0) == u'&' && (text.at(1) == u'H' || text.at(1) == u'h'))
        return ParseDigits(text, 2, 16);
    return ParseDigits(text, 0, 10);
}

quint8 TextToByte(const QString &text)
{
    return static_cast<quint8>(std::clamp<qint32>(TextToLong(text), 0, 255));
}

qint32 TextToColour(const QString &text)
{
    return std::clamp<qint32>(TextToLong(text), 0, 16777215);
}

QString ByteToHex(qint32 value)
{
    const QString digits = QStringLiteral("00") + QString::number(static_cast<quint32>(value), 16).toUpper();
    return digits.right(2);
}

QString NormalizeHex(const QString &text)
{
    QString s = text;
    if (!s.startsWith(u'#'))
        s.prepend(u'#');
    s = s.toUpper();
    QString out = QStringLiteral("#");
    for (qsizetype i = 1; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (IsDecimalDigit(c) || (c.unicode() >= u'A' && c.unicode() <= u'F'))
            out.append(c);
    }
    out.append(QStringLiteral("000000"));
    return out.left(7);
}

ColourComponents SplitColour(qint32 colour)
{
    return ColourComponents{colour & 255, (colour & 65280) / 256, (colour & 16711680) / 65536};
}

qint32 JoinColour(qint32 r, qint32 g, qint32 b)
{
    return r + 256 * g + 65536 * b;
}

QString HexText(qint32 r, qint32 g, qint32 b)
{
    return QStringLiteral("#") + ByteToHex(r) + ByteToHex(g) + ByteToHex(b);
}
