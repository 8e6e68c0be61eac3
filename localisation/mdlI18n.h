// Texts of the user interface from the language file beside the executable.
#pragma once

#include <QString>

class cInifile;
class QWidget;

namespace mdlI18n {
// The text stored under section/key; a missing or blank entry is written with sDefault first.
// "\n" (either case) becomes CR LF in the result.
QString GetLngText(const QString &section, const QString &key, const QString &sDefault);

// Replaces the texts of every control of a window (object names as control names, the
// window's object name as section), skipping controls whose "Tag" property is "NOLOC".
void LocalizeForm(QWidget *form);

// The INI object behind the lookups; tests may point its Path elsewhere before the first lookup.
cInifile &LanguageFile();
}
