// Texts in the 8-bit code page of the language file (Windows-1252) and its case folding.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace AnsiText {
// Every character that the code page cannot hold becomes one "?" (a surrogate pair counts as
// one character), so a text never turns into bytes that read back as something else.
QByteArray FromUnicode(const QString &text);
// Every byte maps to one character; the five bytes the code page leaves undefined come back as
// the C1 control characters of the same value, so reading and writing back keeps them.
QString ToUnicode(QByteArrayView bytes);
QChar ToUnicode(uchar byte);
// The byte of the same letter in lower case (by Unicode case folding), or the byte itself.
uchar FoldCase(uchar byte);
bool EqualsIgnoringCase(QByteArrayView a, QByteArrayView b);
}
