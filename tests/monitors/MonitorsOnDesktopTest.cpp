// A dialog centred into its owner's work area, and the monitor map answered as a user does, on
// openbox with monitor B left of the primary A and a panel along B's bottom edge.
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"
#include "monitors/frmMonitor.h"
#include "monitors/mdlWindow.h"
#include "platform/Platform.h"
#include "support/ModalWatcher.h"
#include "support/X11TestDesktop.h"

#include <QDialog>
#include <QLabel>
#include <QTemporaryDir>
#include <QWindow>

using namespace X11TestDesktop;

class MonitorsOnDesktopTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
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
        QVERIFY(QTest::qWaitForWindowExposed(&m_owner));
        m_map = new frmMonitor(&m_owner);
    }

    // Too close to the owner monitor's right edge and to the panel: pushed back inside both. A
    // fixed-size dialog has no resize handle: its bottom frame is 1.
    void centredIntoTheWorkArea()
    {
        Platform &platform = CurrentPlatform();
        QTRY_COMPARE(platform.WindowRect(m_owner.winId()).ToQRect(), QRect(-181, 780, 202, 175));
        QDialog dialog(&m_owner);
        dialog.setFixedSize(400, 300);
        dialog.show();
        const WindowHandle d = dialog.winId();
        QTRY_COMPARE(platform.WindowRect(d).ToQRect().size(), QSize(402, 321));
        mdlWindow::CenterWindow(d, m_owner.winId());
        QTRY_COMPARE(platform.WindowRect(d).ToQRect(), QRect(-402, 673, 402, 321));
        QTRY_COMPARE(dialog.frameGeometry().topLeft(), QPoint(878, 673));  // Qt agrees
    }

    void choice_data()
    {
        QTest::addColumn<QPoint>("click");  // on the map, relative to the box around the monitors; none: Alt+F4
        QTest::addColumn<QPoint>("monitorAt");  // a point on the chosen monitor; none: the whole screen
        QTest::newRow("left box") << QPoint(40, 40) << QPoint(-1, 500);
        QTest::newRow("box around the monitors") << QPoint(4, 4) << QPoint();
        QTest::newRow("right box") << QPoint(300, 40) << QPoint(0, 500);
        QTest::newRow("closed with Alt+F4") << QPoint() << QPoint();
    }
    void choice()
    {
        QFETCH(QPoint, click);
        QFETCH(QPoint, monitorAt);
        ModalWatcher::WhenModal<frmMonitor>([&](frmMonitor *map) {
            if (!click.isNull()) {
                MoveTo(map->findChild<QLabel *>(QStringLiteral("lblDesktop"))->mapToGlobal(click));
                Xdotool({QStringLiteral("click"), QStringLiteral("1")});
            }
            // Under load openbox now and then lets a key pass before its bindings follow the new
            // focus; a user would press again.
            for (int attempt = 0; click.isNull() && attempt < 3 && map->isVisible(); ++attempt) {
                Xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(map->winId())});
                Xdotool({QStringLiteral("key"), QStringLiteral("alt+F4")});
                (void)QTest::qWaitFor([map] { return !map->isVisible(); }, 1000);
            }
        }, nullptr, [](frmMonitor *map) { return map->windowHandle()->isExposed(); });
        const qint32 chosen = m_map->ShowDlg(&m_owner);
        QCOMPARE(chosen, monitorAt.isNull() ? 0 : CurrentPlatform().MonitorFromPoint(monitorAt));
        QVERIFY(m_map->isHidden());
    }
};

QTEST_MAIN(MonitorsOnDesktopTest)
#include "MonitorsOnDesktopTest.moc"
