// Windows under openbox (frames: 1 left and right, 20 above, 5 below), monitor B left of the
// primary A, a panel along B's bottom edge.
#include "localisation/QtFormWindow.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"
#include "monitors/frmMonitor.h"
#include "monitors/mdlWindow.h"
#include "platform/Platform.h"
#include "support/ModalWatcher.h"
#include "support/TestFiles.h"
#include "support/X11TestDesktop.h"

#include <QtWidgets>

using namespace X11TestDesktop;

class DesktopWindowsTest : public QObject
{
    Q_OBJECT

    Platform &platform = CurrentPlatform();
    QTemporaryDir m_dir;
    QWidget m_window;  // client area at root 1500, 200: program 220, 200
    std::unique_ptr<ForeignWindow> m_other;  // another program's window on the left monitor
    QWidget m_panel;  // reserves the bottom 30 rows of monitor B
    QWidget m_owner;  // client area at root 1100, 800: program -180, 800
    frmMonitor *m_map = nullptr;  // one dialog, asked again and again as a caller may

private Q_SLOTS:
    void initTestCase()
    {
        mdlI18n::LanguageFile().setPath(m_dir.filePath(QStringLiteral("pixolva.lng")));
        m_panel.setWindowFlags(Qt::FramelessWindowHint);
        m_panel.setGeometry(0, 994, 1280, 30);
        Connection x;  // left, right, top, bottom, then where each strip starts and ends
        const quint32 strut[12] = {0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 0, 1279};
        xcb_change_property(x.c, XCB_PROP_MODE_REPLACE, quint32(m_panel.winId()), x.Atom("_NET_WM_STRUT_PARTIAL"),
                            XCB_ATOM_CARDINAL, 32, 12, strut);
        x.Sync();
        m_panel.show();
        m_owner.setGeometry(1100, 800, 200, 150);
        m_owner.show();
        m_window.setGeometry(1500, 200, 400, 300);
        m_window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_owner) && QTest::qWaitForWindowExposed(&m_window));
        m_map = new frmMonitor(&m_owner);
        m_other = StartXMessage(QPoint(300, 500), QStringLiteral("Nachbar"));
        QTRY_VERIFY(m_other->window && platform.WindowRect(m_other->window).Width > platform.ClientRect(m_other->window).Width);
    }

    // Frames belong to the window: its rectangle, its point; the desktop is the virtual screen.
    void windowsAndTheirFrames()
    {
        const WindowHandle w = m_window.winId();
        QTRY_COMPARE(platform.WindowRect(w).ToQRect(), QRect(219, 180, 402, 325));
        QCOMPARE(platform.ClientRect(w).ToQRect(), QRect(220, 200, 400, 300));
        QCOMPARE(platform.ParentWindow(w) + platform.ParentWindow(platform.DesktopWindow()), WindowHandle(0));
        QCOMPARE(platform.WindowRect(platform.DesktopWindow()).ToQRect(), QRect(-1280, 0, 2560, 1024));
        QVERIFY(platform.WindowRect(0x7ffffff0).IsZero());
        QCOMPARE(platform.WindowFromPoint(QPoint(300, 190)), w);  // title bar
        QCOMPARE(platform.WindowFromPoint(QPoint(219, 300)), w);  // left border
        QCOMPARE(platform.WindowFromPoint(QPoint(-950, 510)), m_other->window);
        QCOMPARE(platform.WindowFromPoint(QPoint(-600, 300)), platform.DesktopWindow());
        QVERIFY(platform.BringToFront(w));
        QCOMPARE(platform.ForegroundWindow(), w);
        Xdo(QStringLiteral("windowactivate --sync %1").arg(m_other->window));
        QTRY_COMPARE(platform.ForegroundWindow(), m_other->window);
    }

    // Too close to the owner monitor's right edge and to the panel: pushed back inside both. A
    // fixed-size dialog has no resize handle: its bottom frame is 1.
    void centredIntoTheWorkArea()
    {
        QTRY_COMPARE(platform.WindowRect(m_owner.winId()).ToQRect(), QRect(-181, 780, 202, 175));
        QDialog dialog(&m_owner);
        dialog.setFixedSize(400, 300);
        dialog.show();
        const WindowHandle d = dialog.winId();
        QTRY_COMPARE(platform.WindowRect(d).ToQRect().size(), QSize(402, 321));
        mdlWindow::CenterWindow(d, m_owner.winId());
        QTRY_COMPARE(platform.WindowRect(d).ToQRect(), QRect(-402, 673, 402, 321));
    }

    // The box around the monitors gives the whole screen, a monitor's box that monitor (the left
    // one: the scenario).
    void monitorChoice()
    {
        for (const auto &[click, chosen] : QList<std::pair<QPoint, MonitorHandle>>{
                 {{4, 4}, 0}, {{300, 40}, platform.MonitorFromPoint(QPoint(0, 500))}}) {
            ModalWatcher::WhenModal<frmMonitor>([click = click](frmMonitor *map) {
                MoveTo(map->findChild<QLabel *>(QStringLiteral("lblDesktop"))->mapToGlobal(click));
                Xdo(QStringLiteral("click 1"));
            }, nullptr, [](frmMonitor *map) { return map->windowHandle()->isExposed(); });
            QCOMPARE(m_map->ShowDlg(&m_owner), chosen);
            QVERIFY(m_map->isHidden());
        }
    }

    // Saved and restored with the frame; a maximised window saves only that and is not moved, a
    // minimised one saves nothing.
    void formPosition()
    {
        const QString path = m_dir.filePath(QStringLiteral("positions.ini"));
        cInifile ini;
        ini.setPath(path);
        ini.setSection(QStringLiteral("frmTest"));
        QWidget window;
        QtFormWindow form(&window);
        window.setGeometry(1381, 140, 400, 300);  // on the primary: program 101, 140
        window.show();
        QTRY_COMPARE(window.frameGeometry(), QRect(1380, 120, 402, 325));
        ini.SaveFormPosition(form);
        QCOMPARE(ReadBytes(path), QByteArray("[frmTest]\nMaximised=0\nLeft=1500\nTop=1800\nWidth=6030\nHeight=4875\n"));
        window.setGeometry(1800, 400, 200, 150);
        QTRY_COMPARE(window.geometry(), QRect(1800, 400, 200, 150));
        ini.LoadFormPosition(form, 0, 0);
        QTRY_COMPARE(window.frameGeometry(), QRect(1380, 120, 402, 325));

        window.showMaximized();
        QTRY_VERIFY(window.frameGeometry().width() > 1000);
        ini.SaveFormPosition(form);
        QCOMPARE(ReadBytes(path), QByteArray("[frmTest]\nMaximised=1\nLeft=1500\nTop=1800\nWidth=6030\nHeight=4875\n"));
        ini.LoadFormPosition(form, 0, 0);
        QVERIFY(!ini.Success() && window.isMaximized());
        QVERIFY(QFile::remove(path));
        window.showMinimized();
        QTRY_VERIFY(window.isMinimized());
        ini.SaveFormPosition(form);
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_MAIN(DesktopWindowsTest)
#include "DesktopWindowsTest.moc"
