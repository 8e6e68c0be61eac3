// Texts of the user interface from the language file beside the executable.
#include "localisation/mdlI18n.h"

#include "localisation/ControlTexts.h"
#include "localisation/cInifile.h"
#include "localisation/mdlTools.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

bool IsSpacesOnly(const QString &text)
{
    for (const QChar c : text) {
        if (c != QLatin1Char(' '))
            return false;
    }
    return true;
}

QString LanguageFilePath()
{
    const QString executable = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return mdlTools::GetAppPath() + executable + QLatin1String(".lng");
}

} // namespace

namespace mdlI18n {

cInifile &LanguageFile()
{
    static cInifile file;
    return file;
}

QString GetLngText(const QString &section, const QString &key, const QString &sDefault)
{
    cInifile &file = LanguageFile();
    if (file.Path().isEmpty())
        file.setPath(LanguageFilePath());
    file.setSection(section);
    file.setKey(key);

    // One read serves both the test and the result: the text that passed the test is the one
    // shown, even if another program changes the file in between.
    QString text = file.Value();
    if (IsSpacesOnly(text)) {
        text = EscapeLineBreaks(sDefault);
        file.setValue(text);
    }
    return ExpandLineBreaks(text);
}

}
