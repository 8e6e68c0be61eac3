// Texts of the user interface from the language file beside the executable (or, where that
// folder cannot hold it, in the user's data folder).
#pragma once

#include "base/LocalText.h"

#include <QList>
#include <QString>

class cInifile;

namespace mdlI18n {
// The text stored under section/key, cut to 254 characters (or to twice the length of sDefault,
// where that is longer); a missing entry, or one that holds
// only spaces, is first written with sDefault (line breaks in it written as "\n"). "\n" (either
// case) becomes CR LF in the result. A file that cannot be written costs nothing but the write:
// the default is still returned.
QString GetLngText(const QString &section, const QString &key, const QString &sDefault);

// Whether the language file has the section yet (a window that has never been opened lacks it).
bool HasSection(const QString &section);

// Looks every text up once, so that the language file holds them all (a first start writes them).
void CompleteTexts(const QList<LocalText> &texts);

// While one lives (the outermost, when they nest), the lookups read the language file once and
// the texts it lacks are written together when it ends: one read and at most one replacement of
// the file per window load, with the same resulting bytes as one write per text. Should another
// process complete the file meanwhile, its entries stay and only what is still missing is added.
class TextBatch
{
public:
    TextBatch();
    ~TextBatch();
    TextBatch(const TextBatch &) = delete;
    TextBatch &operator=(const TextBatch &) = delete;
};

// The language file for an executable named baseName in appFolder (with its closing "/"):
// beside the executable when a file is there already or the folder can take one, else
// pixolva/baseName.lng in the user's data folder ($XDG_DATA_HOME, ~/.local/share).
QString LanguageFileLocation(const QString &appFolder, const QString &baseName);

// The INI object behind the lookups; tests may point its Path elsewhere before the first lookup.
cInifile &LanguageFile();
}
