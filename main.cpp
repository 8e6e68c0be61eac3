// Pixolva: colour picker and screenshot tool.
#include "app/MessageBoxes.h"
#include "base/RuntimeError.h"
#include "app/frmMain.h"
#include "platform/FontConfigWarmUp.h"
#include "platform/PlatformLoader.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    FontConfigWarmUp fonts;
    QApplication app(argc, argv);
    PlatformLoader::InstallPlatform();
    // The program speaks German, so Qt's own dialogs and menus (the save dialog) do too.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
    SetErrorReporter([](const RuntimeError &error) {
        MessageBoxes::ShowStandardError(QApplication::activeWindow(), error);
    });
    fonts.Wait();
    frmMain window;
    window.show();
    return app.exec();
}
