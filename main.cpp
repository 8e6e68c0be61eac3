// Pixolva: colour picker and screenshot tool.
#include "app/MessageBoxes.h"
#include "app/frmMain.h"
#include "base/Cursors.h"
#include "base/LocalText.h"
#include "base/RuntimeError.h"
#include "base/WorkAhead.h"
#include "capture/ClipboardKeeper.h"
#include "capture/ClipboardPicture.h"
#include "localisation/mdlI18n.h"
#include "platform/DisplayCheck.h"
#include "platform/PlatformLoader.h"
#include "platform/ReadAhead.h"
#include "platform/X11ClipboardManager.h"
#include "platform/X11PasteHold.h"

#include "ProductInfo.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    // In a Wayland session, Xwayland's X display where there is one.
    PlatformLoader::ChooseWindowSystem();
    // Without a display Qt would abort with a message of its own; the user gets ours instead.
    const QString noDisplay = DisplayCheck::Problem(argc, argv);
    if (!noDisplay.isEmpty()) {
        // In the language file's words: its place is known once there is an application object.
        QCoreApplication core(argc, argv);
        SetTextSource(&mdlI18n::GetLngText);
        std::fprintf(stderr, "%s\n", DisplayCheck::Problem(argc, argv).toUtf8().constData());
        return 1;
    }
    // Read while the application object starts; the window's first text takes it.
    WorkAhead fontConfiguration(&ReadAhead::FontConfiguration);
    QApplication app(argc, argv);
    // The program speaks German, so Qt's own dialogs and menus (the save dialog) do too.
    QTranslator qtTexts;
    bool qtTextsLoaded = false;
    // What the window takes from the moment it is made, in the order it takes it (its icon, the
    // session bus for its first caption, the fonts for its first text, the pointer images), and
    // what it needs only once it is shown; it waits for a part not ready when it gets there.
    WorkAhead forWindow([&fontConfiguration, &qtTexts, &qtTextsLoaded] {
        Cursors::WindowIconImage();
        ReadAhead::SessionBus();
        fontConfiguration.Wait();
        ReadAhead::FontList();
        Cursors::Prepare();
        qtTextsLoaded = qtTexts.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                                     QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    });
    // Desktops and docks find the entry and its icon for our windows by this name.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(ProductInfo::DesktopId));
    PlatformLoader::InstallPlatform();
    // Messages and the other texts beyond the windows' controls come from the language file too.
    SetTextSource(&mdlI18n::GetLngText);
    // A paste right after a copy waits for the encoding elsewhere, not in the window.
    X11PasteHold::Install(&ClipboardPicture::StillEncoding, &ClipboardPicture::ReadyOnClipboard);
    SetErrorReporter([](const RuntimeError &error) {
        MessageBoxes::ShowStandardError(QApplication::activeWindow(), error);
    });
    auto window = std::make_unique<frmMain>();
    window->show();
    forWindow.Wait();
    if (qtTextsLoaded)
        QCoreApplication::installTranslator(&qtTexts);
    const int code = app.exec();
    // A capture on the clipboard stays there after the window has gone.
    window.reset();
    ClipboardKeeper::KeepAfterLastWindow([](const QByteArrayList &formats) {
        return X11ClipboardManager::SaveClipboard(formats);
    });
    return code;
}
