// Texts of the user interface from the language file beside the executable.
#pragma once

#include <QString>

class cInifile;

namespace mdlI18n {
// The text stored under section/key, cut to 254 characters; a missing entry, or one that holds
// only spaces, is first written with sDefault (line breaks in it written as "\n"). "\n" (either
// case) becomes CR LF in the result. A file that cannot be written costs nothing but the write:
// the default is still returned.
QString GetLngText(const QString &section, const QString &key, const QString &sDefault);

// The INI object behind the lookups; tests may point its Path elsewhere before the first lookup.
cInifile &LanguageFile();
}
