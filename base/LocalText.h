// Texts the user sees beyond the windows' controls (messages, captions drawn by the program, file
// types): each a row with its section and key in the language file and its built-in German.
//
// Each floor keeps its texts as such rows beside the code that shows them and lists them in a
// Texts() function; the main window hands every list to the language file at start (frmMain.cpp,
// AllTexts), so that a first start writes them all. A new error message is one row of the table in
// ErrorTexts.cpp; any other new text is a row beside its use and an entry in its floor's list.
#pragma once

#include <QList>
#include <QString>

struct LocalText
{
    const char *section; // a window's name, or "Messages" for texts of no window
    const char *key;     // "str" + what it says
    const char *german;  // UTF-8; "\n" (backslash and n) for a line break
};

// The section of the texts that belong to no window: error descriptions, the no-display line.
inline constexpr char MessagesSection[] = "Messages";

// The text as the language file has it, once a source is installed, else the built-in German
// (line breaks as CR LF either way). The caller fills in what %1, %2 ... stand for.
QString Localised(const LocalText &text);

// Where texts come from: the language file's lookup (section, key, German default), installed by
// the program at start. Asked on the user-interface thread only; a text asked for elsewhere, or
// before a source is installed, is the built-in German.
using TextSource = QString (*)(const QString &section, const QString &key, const QString &sDefault);
void SetTextSource(TextSource source);
