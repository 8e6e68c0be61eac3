// Which texts of a control the language file holds, under which keys and in which order.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace mdlI18n {

enum class TextProperty { Caption, ToolTipText, Text, Description };

// One text of a control: the key of its entry, and where it sits in the control (item -1 is
// the control itself, otherwise the index of a column header, tab or toolbar button).
struct TextSlot
{
    QString key;
    int item = -1;
    TextProperty property = TextProperty::Caption;

    friend bool operator==(const TextSlot &a, const TextSlot &b)
    {
        return a.key == b.key && a.item == b.item && a.property == b.property;
    }
};

// The texts of a control of the given type name ("CommandButton", "Frame", "Label",
// "OptionButton", "CheckBox", "Menu", "TextBox", "ListView", "TabStrip", "Toolbar", compared
// without regard to case), in the order they are looked up. itemKeys are the keys of the
// column headers, tabs or toolbar buttons. Any other type name has no texts.
QList<TextSlot> TextSlots(const QString &typeName, const QString &controlName,
                          const QStringList &itemKeys = {});

// A control tagged "NOLOC" (in any case) keeps the texts it was designed with.
bool IsNoLoc(const QString &tag);

// A line break (CR LF, CR or LF) as the two characters backslash and "n", so a text stays on
// one line of the language file.
QString EscapeLineBreaks(const QString &text);
// Backslash and "n" or "N" as CR LF.
QString ExpandLineBreaks(const QString &text);
// A text with CR LF (or CR) line breaks as Qt shows it: one LF each, no stray glyph. For
// controls and message boxes alike.
QString DisplayText(const QString &text);

}
