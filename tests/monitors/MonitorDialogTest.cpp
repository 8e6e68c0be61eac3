// The monitor selection dialog on a real X11 desktop with two monitors: map, clicks, closing.
#include "base/Cursors.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"
#include "monitors/frmMonitor.h"
#include "monitors/mdlWindow.h"
#include "support/ModalWatcher.h"
#include "support/TestFiles.h"

#include <QtTest>

#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>

using ModalWatcher::WhenModal;

namespace {

struct ExpectedMap
{
    QSize client;
    QRect desktop;
    QList<QRect> boxes;
};

// The map in pixels for each desktop the test runs on, by virtual-screen size.
ExpectedMap Expected(const ScreenRect &vs)
{
    if (vs.Width == 2560 && vs.Height == 1024) // side by side
        return {QSize(425, 204), QRect(8, 8, 409, 188), {QRect(31, 31, 178, 141), QRect(216, 31, 178, 141)}};
    if (vs.Width == 1280 && vs.Height == 2048) // stacked
        return {QSize(197, 281), QRect(8, 8, 181, 265), {QRect(31, 31, 134, 106), QRect(31, 144, 134, 106)}};
    return {};
}

QList<QLabel *> VisibleMonitorBoxes(frmMonitor *dialog)
{
    QList<QLabel *> boxes;
    for (QLabel *label : dialog->findChildren<QLabel *>(QStringLiteral("lblMonitor")))
        if (label->isVisible())
            boxes.append(label);
    std::sort(boxes.begin(), boxes.end(),
              [](QLabel *a, QLabel *b) { return a->property("Index").toInt() < b->property("Index").toInt(); });
    return boxes;
}

bool OnScreen(frmMonitor *dialog)
{
    return dialog->windowHandle() && dialog->windowHandle()->isExposed();
}

// xdotool, with this program's events running meanwhile: the window manager may wait for us.
void Xdotool(const QStringList &arguments)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), arguments);
    QVERIFY(QTest::qWaitFor([&] { return xdotool.state() == QProcess::NotRunning; }, 5000));
    QCOMPARE(xdotool.exitCode(), 0);
}

// Through the X server, as a user does it: the window manager and the hit test take part.
void RealClick(QPoint global)
{
    Xdotool({QStringLiteral("mousemove"), QString::number(global.x()), QString::number(global.y()),
             QStringLiteral("click"), QStringLiteral("1")});
}

// Keys go to the window with the focus: the user has the dialog in front first. Under load the
// window manager now and then lets a key pass before its bindings follow the new focus; a user
// would press again, and so does this, until the dialog has gone.
void RealKeyUntilHidden(QWidget *window, const QString &keys)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        Xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(window->winId())});
        QTest::qWait(200);
        Xdotool({QStringLiteral("key"), keys});
        if (QTest::qWaitFor([window] { return !window->isVisible(); }, 1000))
            return;
    }
}

// A dialog that the action did not close would hold the test until its time runs out.
void FailIfStillOpen(QWidget *dialog)
{
    QTimer::singleShot(5000, dialog, [dialog] {
        if (dialog->isVisible()) {
            QTest::qFail("the dialog is still open", __FILE__, __LINE__);
            dialog->hide();
        }
    });
}

}

class MonitorDialogTest : public QObject
{
    Q_OBJECT

private:
    QWidget *m_owner = nullptr;
    QTemporaryDir m_dir;

    QString LanguageFilePath() const
    {
        return m_dir.filePath(QStringLiteral("Pixolva.lng"));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        mdlI18n::LanguageFile().setPath(LanguageFilePath());
        QCOMPARE(mdlWindow::GetMonitorCount(), 2);
        m_owner = new QWidget;
        m_owner->setWindowTitle(QStringLiteral("Owner"));
        m_owner->setGeometry(300, 300, 500, 400);
        m_owner->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_owner, 20000));
    }

    void cleanupTestCase()
    {
        delete m_owner;
    }

    void cleanup()
    {
        ModalWatcher::Clear();
    }

    void map()
    {
        const ScreenRect vs = mdlWindow::GetVirtualScreenRect();
        const ExpectedMap expected = Expected(vs);
        QVERIFY2(!expected.boxes.isEmpty(), "no expectations for this desktop");
        const QList<MonitorHandle> monitors = mdlWindow::EnumMonitors();
        QCOMPARE(monitors.size(), 2);

        QString title, desktopCaption;
        QSize client;
        QRect desktop, frame;
        QList<QRect> boxes;
        QStringList captions, tags;
        bool handPointer = true;
        bool modalToOwner = false;
        WhenModal<frmMonitor>([&](frmMonitor *dialog) {
            title = dialog->windowTitle();
            client = dialog->size();
            frame = dialog->frameGeometry();
            modalToOwner = dialog->isModal() && dialog->parentWidget() == m_owner;
            auto *lblDesktop = dialog->findChild<QLabel *>(QStringLiteral("lblDesktop"));
            desktop = lblDesktop->geometry();
            desktopCaption = lblDesktop->text();
            QList<QLabel *> all = VisibleMonitorBoxes(dialog);
            all.prepend(lblDesktop);
            for (QLabel *box : all) {
                const QCursor pointer = box->cursor();
                handPointer = handPointer && pointer.hotSpot() == Cursors::PointingHandHotSpot
                    && pointer.pixmap().toImage().convertToFormat(QImage::Format_ARGB32)
                        == Cursors::PointingHandImage().convertToFormat(QImage::Format_ARGB32);
            }
            for (QLabel *box : VisibleMonitorBoxes(dialog)) {
                boxes << box->geometry();
                captions << box->text();
                tags << box->property("Tag").toString();
            }
            dialog->hide();
        }, nullptr, OnScreen);
        frmMonitor dialog;
        QCOMPARE(dialog.ShowDlg(m_owner), 0);

        QCOMPARE(title, QStringLiteral("Monitorauswahl"));
        QCOMPARE(client, expected.client);
        QCOMPARE(desktop, expected.desktop);
        QCOMPARE(desktopCaption, QStringLiteral("VirtualScreen: %1 x %2").arg(vs.Width).arg(vs.Height));
        QCOMPARE(boxes, expected.boxes);
        QCOMPARE(captions, (QStringList{"Monitor 1: 1280 x 1024", "Monitor 2: 1280 x 1024"}));
        QCOMPARE(tags, (QStringList{QString::number(monitors[0]), QString::number(monitors[1])}));
        QVERIFY(handPointer);
        QVERIFY(modalToOwner);
        // Outer rectangle centred over the owner's (a fixed-size frame may lack the resize handle
        // the owner's has: a few pixels).
        const QPoint offset = frame.center() - m_owner->frameGeometry().center();
        QVERIFY2(qAbs(offset.x()) <= 3 && qAbs(offset.y()) <= 3,
                 qPrintable(QStringLiteral("off by %1, %2").arg(offset.x()).arg(offset.y())));
    }

    // The caption comes from the language file; the boxes keep theirs whatever the file says.
    void texts()
    {
        const QByteArray file("[frmMonitor]\nCaption=Select monitor\nlblDesktop.Caption=Screen\n"
                              "lblMonitor.Caption=Display\n");
        QVERIFY(WriteBytes(LanguageFilePath(), file));

        QString shownTitle;
        QStringList captions;
        WhenModal<frmMonitor>([&](frmMonitor *dialog) {
            shownTitle = dialog->windowTitle();
            captions << dialog->findChild<QLabel *>(QStringLiteral("lblDesktop"))->text();
            for (QLabel *box : VisibleMonitorBoxes(dialog))
                captions << box->text();
            dialog->hide();
        }, nullptr, OnScreen);
        frmMonitor dialog;
        dialog.ShowDlg(m_owner);

        QCOMPARE(shownTitle, QStringLiteral("Select monitor"));
        QCOMPARE(captions.size(), 3);
        QVERIFY2(captions[0].startsWith(QStringLiteral("VirtualScreen: ")), qPrintable(captions[0]));
        QVERIFY2(captions[1].startsWith(QStringLiteral("Monitor 1: ")), qPrintable(captions[1]));
        QCOMPARE(ReadBytes(LanguageFilePath()), file);
    }

    void choice_data()
    {
        QTest::addColumn<int>("box"); // -1: the virtual-screen box around the monitors
        QTest::addColumn<QString>("keys");
        QTest::newRow("Monitor 1") << 0 << "";
        QTest::newRow("virtual screen") << -1 << "";
        QTest::newRow("Alt+F4") << -2 << "alt+F4";
    }
    void choice()
    {
        QFETCH(int, box);
        QFETCH(QString, keys);
        const QList<MonitorHandle> monitors = mdlWindow::EnumMonitors();
        QCOMPARE(monitors.size(), 2);

        frmMonitor dialog;
        // Reused like the caller may: a first choice must not leak into the second.
        WhenModal<frmMonitor>([&](frmMonitor *shown) {
            RealClick(VisibleMonitorBoxes(shown).at(1)->mapToGlobal(QPoint(20, 20)));
            FailIfStillOpen(shown);
        }, nullptr, OnScreen);
        QCOMPARE(dialog.ShowDlg(m_owner), monitors[1]);

        WhenModal<frmMonitor>([&](frmMonitor *shown) {
            if (!keys.isEmpty()) {
                RealKeyUntilHidden(shown, keys);
            } else if (box < 0) {
                RealClick(shown->findChild<QLabel *>(QStringLiteral("lblDesktop"))->mapToGlobal(QPoint(10, 10)));
            } else {
                QLabel *target = VisibleMonitorBoxes(shown).at(box);
                RealClick(target->mapToGlobal(target->rect().center()));
            }
            FailIfStillOpen(shown);
        }, nullptr, OnScreen);
        const qint32 chosen = dialog.ShowDlg(m_owner);

        QCOMPARE(chosen, box >= 0 ? monitors[box] : 0);
        // Hidden, never destroyed: the caller does that after reading the result.
        QVERIFY(dialog.isHidden());
        QVERIFY(dialog.findChild<QLabel *>(QStringLiteral("lblDesktop")));
        // The monitor a box names is the one at that place on the map.
        if (box >= 0) {
            const ScreenRect first = mdlWindow::GetMonitorRect(monitors[0]);
            const ScreenRect second = mdlWindow::GetMonitorRect(monitors[1]);
            QVERIFY(first.Left < second.Left || first.Top < second.Top);
        }
    }
};

QTEST_MAIN(MonitorDialogTest)
#include "MonitorDialogTest.moc"
