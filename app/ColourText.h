// Number and hexadecimal texts of the colour fields: parsing, clamping, normal forms.
#pragma once

#include <QString>
#include <QtGlobal>

// The value of "", a run of decimal digits, or "&H" and hexadecimal digits; -1 for any other
// text and for a value that does not fit 32 signed bits.
qint32 TextToLong(const QString &text);

// TextToLong clamped to 0..255 (negative, unreadable and too large texts give 0 or 255).
quint8 TextToByte(const QString &text);

// TextToLong clamped to 0..16777215.
qint32 TextToColour(const QString &text);

// Two upper-case hexadecimal digits: the last two of the value's hexadecimal form.
QString ByteToHex(qint32 value);

// "#" and six upper-case hexadecimal digits: non-hex characters dropped, zeros filled in on the
// right, digits beyond the sixth ignored.
QString NormalizeHex(const QString &text);

// A colour value split into its components (red in the low byte).
struct ColourComponents
{
    qint32 R = 0;
    qint32 G = 0;
    qint32 B = 0;
};
ColourComponents SplitColour(qint32 colour);
qint32 JoinColour(qint32 r, qint32 g, qint32 b);
// "#" followed by red, green and blue as two hexadecimal digits each.
QString HexText(qint32 r, qint32 g, qint32 b);

// Character classes of the field patterns; the letters count in either case.
bool IsDecimalDigit(QChar c);
bool IsHexDigit(QChar c);
