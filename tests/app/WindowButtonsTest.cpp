// The buttons a window manager may offer each window: the fixed-size main window minimise and
// close, its modal dialogs (About box, monitor map) close only, each transient for the main
// window; and a dialog minimised all the same comes back with the main window.
#include "about/frmAbout.h"
#include "app/frmMain.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"
#include "monitors/frmMonitor.h"
#include "support/DesktopPrograms.h"
#include "support/ModalWatcher.h"

#include <QtTest>
#include <QTemporaryDir>

namespace {
QString Property(WId window, const char *name)
{
    return QString::fromLatin1(
        DesktopPrograms::Run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window), QLatin1String(name)}));
}

// The functions the program allows, from _MOTIF_WM_HINTS (flags, functions, decorations, ...).
uint MotifFunctions(WId window)
{
    const QStringList values = Property(window, "_MOTIF_WM_HINTS").section(QLatin1Char('='), 1).split(QLatin1Char(','));
    return values.size() > 1 ? values[1].trimmed().toUInt(nullptr, 16) : 0;
}

constexpr uint MwmMinimise = 1u << 3, MwmMaximise = 1u << 4, MwmClose = 1u << 5;
}

class WindowButtonsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<frmMain> m_main;

private Q_SLOTS:
    void initTestCase()
    {
        mdlI18n::LanguageFile().setPath(m_dir.filePath(QStringLiteral("pixolva.lng")));
        m_main = std::make_unique<frmMain>();
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    }

    void hints_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("main window") << "frmMain";
        QTest::newRow("About box") << "frmAbout";
        QTest::newRow("monitor map") << "frmMonitor";
    }
    void hints()
    {
        QFETCH(QString, window);
        std::unique_ptr<QWidget> dialog;
        if (window == QStringLiteral("frmAbout"))
            dialog = std::make_unique<frmAbout>(m_main.get());
        else if (window == QStringLiteral("frmMonitor"))
            dialog = std::make_unique<frmMonitor>(m_main.get());
        QWidget *shown = dialog ? dialog.get() : m_main.get();
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        const WId id = shown->winId();
        QTRY_VERIFY(Property(id, "_NET_WM_ALLOWED_ACTIONS").contains(QStringLiteral("_NET_WM_ACTION_CLOSE")));

        const uint functions = MotifFunctions(id);
        QVERIFY(functions & MwmClose);
        QVERIFY(!(functions & MwmMaximise));
        QCOMPARE(bool(functions & MwmMinimise), !dialog);
        const QString type = Property(id, "_NET_WM_WINDOW_TYPE");
        const QString owner = Property(id, "WM_TRANSIENT_FOR");
        if (dialog) {
            QVERIFY2(type.contains(QStringLiteral("= _NET_WM_WINDOW_TYPE_DIALOG")), qPrintable(type));
            QVERIFY2(owner.contains(QStringLiteral("0x%1").arg(m_main->winId(), 0, 16)), qPrintable(owner));
        } else {
            QVERIFY2(type.contains(QStringLiteral("= _NET_WM_WINDOW_TYPE_NORMAL")), qPrintable(type));
            QVERIFY2(owner.contains(QStringLiteral("not found")), qPrintable(owner));
        }
        // What the window manager made of it: fixed size, so neither resizing nor maximising.
        const QString allowed = Property(id, "_NET_WM_ALLOWED_ACTIONS");
        QVERIFY2(!allowed.contains(QStringLiteral("MAXIMIZE")) && !allowed.contains(QStringLiteral("RESIZE")),
                 qPrintable(allowed));
    }

    // openbox offers minimise on a dialog all the same, and minimises the main window with it.
    void minimisedDialogComesBack()
    {
        bool restored = false;
        ModalWatcher::WhenModal<frmAbout>([&](frmAbout *about) {
            bool minimised = false;
            QObject::connect(about->windowHandle(), &QWindow::windowStateChanged,
                             [&](Qt::WindowState state) { minimised = minimised || state == Qt::WindowMinimized; });
            DesktopPrograms::Xdotool({QStringLiteral("windowminimize"), QString::number(about->winId())});
            restored = QTest::qWaitFor([&] {
                return minimised && Property(about->winId(), "WM_STATE").contains(QStringLiteral("Normal"))
                    && Property(m_main->winId(), "WM_STATE").contains(QStringLiteral("Normal"))
                    && about->isVisible() && !about->isMinimized();
            });
            about->reject();
        }, nullptr, [](frmAbout *about) { return about->windowHandle() && about->windowHandle()->isExposed(); });
        frmAbout about(m_main.get());
        about.exec();
        QVERIFY(restored);
    }

    void cleanupTestCase() { m_main.reset(); }
};

QTEST_MAIN(WindowButtonsTest)
#include "WindowButtonsTest.moc"
