// The buttons a window manager may offer: the fixed-size main window minimise and close, its
// modal dialogs close only, as dialogs transient for it; a dialog minimised all the same (openbox
// offers minimise everywhere, and takes the main window along) comes back with the main window.
#include "about/frmAbout.h"
#include "app/frmMain.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"
#include "support/X11TestDesktop.h"
#include "support/ModalWatcher.h"

#include <QtTest>
#include <QTemporaryDir>

namespace {
QString Property(WId window, const char *name)
{
    return QString::fromLatin1(
        X11TestDesktop::Run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window), QLatin1String(name)}));
}
}

class WindowButtonsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dialogOffersCloseOnlyAndComesBackWhenMinimised()
    {
        QTemporaryDir dir;
        mdlI18n::LanguageFile().setPath(dir.filePath(QStringLiteral("pixolva.lng")));
        frmMain main;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        // _MOTIF_WM_HINTS: flags, functions (minimise 0x8, maximise 0x10, close 0x20), decorations.
        QVERIFY2(Property(main.winId(), "_MOTIF_WM_HINTS").contains(QStringLiteral("= 0x3, 0x2e,")),
                 qPrintable(Property(main.winId(), "_MOTIF_WM_HINTS")));
        QString hints, type, owner;
        bool minimised = false, restored = false;
        ModalWatcher::WhenModal<frmAbout>([&](frmAbout *about) {
            hints = Property(about->winId(), "_MOTIF_WM_HINTS");
            type = Property(about->winId(), "_NET_WM_WINDOW_TYPE");
            owner = Property(about->winId(), "WM_TRANSIENT_FOR");
            QObject::connect(about->windowHandle(), &QWindow::windowStateChanged,
                             [&](Qt::WindowState state) { minimised = minimised || state == Qt::WindowMinimized; });
            X11TestDesktop::Xdotool({QStringLiteral("windowminimize"), QString::number(about->winId())});
            restored = QTest::qWaitFor([&] {
                return minimised && !about->isMinimized()
                    && Property(about->winId(), "WM_STATE").contains(QStringLiteral("Normal"))
                    && Property(main.winId(), "WM_STATE").contains(QStringLiteral("Normal"));
            });
            about->reject();
        }, nullptr, [](frmAbout *about) { return about->windowHandle() && about->windowHandle()->isExposed(); });
        frmAbout about(&main);
        about.exec();
        QVERIFY2(hints.contains(QStringLiteral("= 0x3, 0x26,")), qPrintable(hints));
        QVERIFY2(type.contains(QStringLiteral("= _NET_WM_WINDOW_TYPE_DIALOG")), qPrintable(type));
        QVERIFY2(owner.contains(QStringLiteral("0x%1").arg(main.winId(), 0, 16)), qPrintable(owner));
        QVERIFY(restored);
    }
};

QTEST_MAIN(WindowButtonsTest)
#include "WindowButtonsTest.moc"
