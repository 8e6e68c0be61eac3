// Texts of the user interface from the language file beside the executable.
// Placeholder until the language file engine is in: the built-in texts only.
#include "localisation/mdlI18n.h"

#include "localisation/cInifile.h"

namespace mdlI18n {

QString GetLngText(const QString &, const QString &, const QString &sDefault)
{
    QString text = sDefault;
    text.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"), Qt::CaseInsensitive);
    return text;
}

void LocalizeForm(QWidget *) {}

cInifile &LanguageFile()
{
    static cInifile file;
    return file;
}

}
