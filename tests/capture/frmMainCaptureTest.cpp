// The screenshot commands of the real main window on a real X11 desktop: the delayed desktop and
// window captures, the hand dragged onto windows, and delivery to the clipboard or a BMP file.
#include "app/PictureBox.h"
#include "app/frmMain.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"
#include "monitors/frmMonitor.h"
#include "monitors/mdlWindow.h"
#include "support/ControlOf.h"
#include "support/DesktopPrograms.h"
#include "support/ModalWatcher.h"
#include "support/X11TestDesktop.h"

#include <QtTest>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QWindow>

using namespace DesktopPrograms;
using namespace X11TestDesktop;
using ModalWatcher::WhenModal;

namespace {
// Where the other programs' windows stand: clear of the main window, the back one partly
// covered by the front one.
constexpr QPoint BackWindowAt(860, 60);
constexpr QPoint FrontWindowAt(920, 110);

struct MessageSeen
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool ownerVisible = false;
};

// Closes the next message box with OK once it shows, noting what it said and when it went.
void AnswerMessage(MessageSeen *seen, QWidget *owner, QElapsedTimer *closed = nullptr)
{
    WhenModal<QMessageBox>([=](QMessageBox *box) {
        *seen = {box->windowTitle(), box->text(), box->icon(), owner->isVisible()};
        if (closed)
            closed->start();
        box->button(QMessageBox::Ok)->click();
    });
}

// Makes the next choice on the monitor map, as the user does: a click on a monitor's box (by its
// index) or on the box around them (-1), or closing the map (-2).
void ChooseOnMap(int choice, bool *shown)
{
    WhenModal<frmMonitor>([=](frmMonitor *map) {
        *shown = true;
        if (choice == -2) {
            map->close();
            return;
        }
        QWidget *box = choice == -1 ? map->findChild<QLabel *>(QStringLiteral("lblDesktop")) : nullptr;
        for (QLabel *label : map->findChildren<QLabel *>(QStringLiteral("lblMonitor")))
            if (label->isVisible() && label->property("Index").toInt() == choice)
                box = label;
        const QPoint p = box->mapToGlobal(QPoint(5, 5));
        Xdotool({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y()), QStringLiteral("click"),
                 QStringLiteral("1")});
    }, nullptr, [](frmMonitor *map) { return map->windowHandle() && map->windowHandle()->isExposed(); });
}

QRect FrameOf(quint32 window)
{
    return RootGeometry(TopLevelAncestor(window));
}

// The picture fitted into the zoom box, anchored top-left: sampled across the box, each point
// shows a colour found among the picture's pixels it stands for; beyond the fit the box is empty.
QString CheckFitted(const QImage &canvas, const QImage &picture, QColor background)
{
    const double scale = std::max(double(picture.width()) / canvas.width(), double(picture.height()) / canvas.height());
    const QSize fit(int(picture.width() / scale), int(picture.height() / scale));
    for (int i = 1; i < 8; ++i) {
        const QPoint c(fit.width() * i / 8, fit.height() * i / 8);
        const int reach = int(scale) + 1;
        const QRect block = QRect(int(c.x() * scale) - reach, int(c.y() * scale) - reach, 3 * reach, 3 * reach) & picture.rect();
        int low[3] = {255, 255, 255}, high[3] = {0, 0, 0};
        for (int y = block.top(); y <= block.bottom(); ++y)
            for (int x = block.left(); x <= block.right(); ++x) {
                const QRgb p = picture.pixel(x, y);
                const int v[3] = {qRed(p), qGreen(p), qBlue(p)};
                for (int k = 0; k < 3; ++k)
                    low[k] = std::min(low[k], v[k]), high[k] = std::max(high[k], v[k]);
            }
        const QRgb shown = canvas.pixel(c);
        const int v[3] = {qRed(shown), qGreen(shown), qBlue(shown)};
        for (int k = 0; k < 3; ++k)
            if (v[k] < low[k] - 2 || v[k] > high[k] + 2)
                return QStringLiteral("box %1,%2 shows %3").arg(c.x()).arg(c.y()).arg(shown, 0, 16);
    }
    for (const QPoint beyond : {QPoint(fit.width() + 1, 0), QPoint(0, fit.height() + 1)})
        if (canvas.rect().contains(beyond) && canvas.pixel(beyond) != background.rgb())
            return QStringLiteral("box %1,%2 is painted beyond the fit").arg(beyond.x()).arg(beyond.y());
    return {};
}
}

class frmMainCaptureTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<frmMain> m_window;
    std::unique_ptr<ForeignWindow> m_back;
    std::unique_ptr<ForeignWindow> m_front;

    template <typename T>
    T *Control(const char *name) const
    {
        return ControlOf<T>(m_window.get(), name);
    }

    PictureBox *Zoom() const { return Control<PictureBox>("picZoom"); }

    bool Idle() const
    {
        return m_window->isVisible() && Control<QWidget>("picCursorScreen")->isVisible()
            && !Control<QTimer>("Timer2")->isActive() && !Control<QTimer>("Timer3")->isActive();
    }

    // The main window's frame as it stood, to check that it is not in a copy.
    QRect MainFrame() const { return FrameOf(quint32(m_window->winId())); }

    // A desktop or window command up to the closing of its notice, which must come with the
    // main window still showing and the delay not yet running.
    void StartDelayedCapture(const char *button, QElapsedTimer *closed, MessageSeen *notice)
    {
        AnswerMessage(notice, m_window.get(), closed);
        QTest::mouseClick(Control<QPushButton>(button), Qt::LeftButton);
        QVERIFY(closed->isValid());
        QVERIFY(notice->ownerVisible);
        QVERIFY(!m_window->isVisible());
        QVERIFY(Control<QTimer>("Timer3")->isActive());
        QVERIFY(!IsAbove(m_window->winId()));
    }

    // The hand pressed, moved to target (while the button is held, during() runs), released.
    void DragHand(QPoint target, bool ctrl, const std::function<void()> &during = {})
    {
        auto *handle = Control<QWidget>("picCursorScreen");
        MovePointer(handle->mapToGlobal(handle->rect().center()));
        QTest::qWait(50);
        Xdotool({QStringLiteral("mousedown"), QStringLiteral("1")});
        QTRY_VERIFY(!handle->isVisible());
        MovePointer(target);
        if (during)
            during();
        if (ctrl)
            Xdotool({QStringLiteral("keydown"), QStringLiteral("ctrl")});
        Xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
        if (ctrl)
            Xdotool({QStringLiteral("keyup"), QStringLiteral("ctrl")});
        QTRY_VERIFY(Idle());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        mdlI18n::LanguageFile().setPath(m_dir.filePath(QStringLiteral("pixolva.lng")));
        PaintRootPattern();
        m_window = std::make_unique<frmMain>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QVERIFY(MainFrame().right() < BackWindowAt.x());
        m_back = StartXMessage(BackWindowAt, QStringLiteral("Hinten liegt dieses Fenster"));
        m_front = StartXMessage(FrontWindowAt, QStringLiteral("Vorne"));
        QVERIFY(m_back->window && m_front->window);
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void cleanup()
    {
        ModalWatcher::Clear();
        QTRY_VERIFY(Idle());
    }

    void desktop_data()
    {
        QTest::addColumn<int>("choice"); // a monitor box, -1 the box around them, -2 closing the map
        QTest::addColumn<QRect>("copied"); // root coordinates
        if (mdlWindow::GetMonitorCount() == 1) {
            QTest::newRow("one monitor, no map") << 0 << QRect(0, 0, 1280, 1024);
            return;
        }
        QTest::newRow("Monitor 2") << 1 << QRect(1280, 0, 1280, 1024);
        QTest::newRow("box around the monitors") << -1 << QRect(0, 0, 2560, 1024);
        QTest::newRow("map closed") << -2 << QRect(0, 0, 2560, 1024);
    }
    void desktop()
    {
        QFETCH(int, choice);
        QFETCH(QRect, copied);
        PutTextOnClipboard("vorher");
        const QRect mainFrame = MainFrame();

        bool mapShown = false;
        if (mdlWindow::GetMonitorCount() > 1)
            ChooseOnMap(choice, &mapShown);

        QElapsedTimer closed;
        MessageSeen notice;
        StartDelayedCapture("cmdDesktop", &closed, &notice);
        QCOMPARE(mapShown, mdlWindow::GetMonitorCount() > 1);
        QVERIFY(!m_window->findChild<frmMonitor *>()); // gone with the command
        QCOMPARE(notice.title, QStringLiteral("Pixolva"));
        QCOMPARE(notice.icon, QMessageBox::Information);
        QCOMPARE(notice.text, QString::fromUtf8("Der Desktop wird in 2 Sekunden kopiert.\n"
                                                "Aktivieren Sie jetzt die gewünschten Fenster!"));
        QTest::qWait(1500);
        QVERIFY(!m_window->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(m_window->isVisible(), 5000);
        QVERIFY2(closed.elapsed() >= 1900, qPrintable(QString::number(closed.elapsed())));
        QTRY_VERIFY(IsAbove(m_window->winId()));

        QTRY_VERIFY(ClipboardTargets().contains(QStringLiteral("image/png")));
        QVERIFY(!ClipboardTargets().contains(QStringLiteral("UTF8_STRING")));
        const QImage picture = ClipboardImage();
        QCOMPARE(picture.size(), copied.size());
        // The pattern throughout, where the main window stood too; the other programs' windows
        // are left out.
        const QRect others = FrameOf(m_back->window) | FrameOf(m_front->window);
        QVERIFY(mainFrame.right() < others.left());
        for (const QRect &part : {QRect(QPoint(0, 0), QPoint(others.left() - 1, copied.bottom())),
                                  QRect(QPoint(0, others.bottom() + 1), copied.bottomRight())}) {
            const QRect r = part & copied;
            if (r.isEmpty())
                continue;
            QCOMPARE(CompareWithPattern(picture.copy(r.translated(-copied.topLeft())), r.topLeft()), QString());
        }
        QCOMPARE(CheckFitted(Zoom()->Canvas(), picture, Zoom()->BackColor()), QString());
    }

    void window_data()
    {
        QTest::addColumn<bool>("front"); // which of the two windows the user activates meanwhile
        QTest::newRow("back window") << false;
        QTest::newRow("front window") << true;
    }
    void window()
    {
        QFETCH(bool, front);
        const quint32 target = front ? m_front->window : m_back->window;
        QElapsedTimer closed;
        MessageSeen notice;
        StartDelayedCapture("cmdWindow", &closed, &notice);
        QCOMPARE(notice.text, QString::fromUtf8("Das aktive Fenster wird in 2 Sekunden kopiert.\n"
                                                "Aktivieren Sie jetzt das gewünschte Fenster!"));
        Xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(target)});
        QTRY_VERIFY_WITH_TIMEOUT(m_window->isVisible(), 5000);
        QVERIFY(closed.elapsed() >= 1900);

        QTRY_VERIFY(ClipboardTargets().contains(QStringLiteral("image/png")));
        const QImage picture = ClipboardImage();
        const QRect frame = FrameOf(target);
        QCOMPARE(picture.size(), frame.size());
        // Frame included: the client area sits inside it where the window manager put it.
        const QRect client = RootGeometry(target);
        const QImage inside = picture.copy(client.translated(-frame.topLeft())).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(inside, CurrentPlatform().CopyScreen(client).convertToFormat(QImage::Format_RGB32));
        QCOMPARE(CheckFitted(Zoom()->Canvas(), picture, Zoom()->BackColor()), QString());
        QTRY_VERIFY(IsAbove(m_window->winId()));
    }

    void hand_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<bool>("ctrl");
        QTest::newRow("message text of the front window") << "text" << false;
        QTest::newRow("title bar of the back window") << "title" << false;
        QTest::newRow("title bar of the back window, Ctrl") << "title" << true;
        QTest::newRow("desktop") << "desktop" << false;
        QTest::newRow("main window itself") << "main" << false;
    }
    void hand()
    {
        QFETCH(QString, where);
        QFETCH(bool, ctrl);
        const QRect backFrame = FrameOf(m_back->window);
        const QRect mainFrame = MainFrame();
        const QRect virtualScreen(QPoint(0, 0), QGuiApplication::primaryScreen()->virtualSize());
        QPoint target = virtualScreen.bottomRight() - QPoint(20, 20);
        QRect copied = virtualScreen;
        quint32 window = 0;
        if (where == QStringLiteral("text")) {
            target = RootGeometry(m_front->window).topLeft() + QPoint(12, 12);
            window = InnermostWindowAt(target);
            QVERIFY(window != m_front->window && TopLevelAncestor(window) == TopLevelAncestor(m_front->window));
            copied = RootGeometry(window);
        } else if (where == QStringLiteral("title")) {
            target = backFrame.topLeft() + QPoint(8, 8);
            window = m_back->window;
            copied = backFrame;
        } else if (where == QStringLiteral("main")) {
            target = Control<QWidget>("picColour")->mapToGlobal(QPoint(10, 10));
        }

        // A mark in the zoom box that only a preview replaces.
        QImage mark(4, 4, QImage::Format_RGB32);
        mark.fill(Qt::magenta);
        m_window->ShowPictureFitted(mark);
        const QImage marked = Zoom()->Canvas();
        bool previewed = false;
        DragHand(target, ctrl, [&] {
            QTest::qWait(300);
            previewed = Zoom()->Canvas() != marked;
        });
        QCOMPARE(previewed, where != QStringLiteral("main"));
        QCOMPARE(CurrentPlatform().CursorPos(), target);
        QTRY_VERIFY(IsAbove(m_window->winId()));

        QTRY_VERIFY(ClipboardTargets().contains(QStringLiteral("image/png")));
        const QImage picture = ClipboardImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(picture.size(), copied.size());
        if (window) {
            // The copy shows the window as it now stands on the screen.
            const QRect unchanged = where == QStringLiteral("title") ? RootGeometry(window) : copied;
            const QImage now = CurrentPlatform().CopyScreen(unchanged).convertToFormat(QImage::Format_RGB32);
            if (ctrl || where == QStringLiteral("text"))
                QCOMPARE(picture.copy(unchanged.translated(-copied.topLeft())), now);
            const QList<quint32> stacking = ClientStacking();
            QCOMPARE(stacking.indexOf(m_back->window) > stacking.indexOf(m_front->window), ctrl);
        } else {
            // The main window was hidden before the copy: the desktop shows where it stood.
            QCOMPARE(CompareWithPattern(picture.copy(mainFrame), mainFrame.topLeft()), QString());
        }
        QCOMPARE(CheckFitted(Zoom()->Canvas(), picture, Zoom()->BackColor()), QString());
        if (ctrl)
            Xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(m_front->window)});
    }

    void savedToFile()
    {
        Control<QRadioButton>("optFile")->click();
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("bilder")));
        const QString folder = m_dir.filePath(QStringLiteral("bilder"));
        const QPoint text = RootGeometry(m_front->window).topLeft() + QPoint(12, 12);
        const QRect copied = RootGeometry(InnermostWindowAt(text));

        // Saved under a name typed without extension, into a folder the user went to.
        QStringList types;
        WhenModal<QFileDialog>([&](QFileDialog *dialog) {
            auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            for (int i = 0; i < combo->count(); ++i)
                types << combo->itemText(i);
            dialog->setDirectory(folder);
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("schuss"));
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        DragHand(text, false);
        QCOMPARE(types, QStringList{QStringLiteral("Bitmap (*.bmp)")});
        const QImage saved(QDir(folder).filePath(QStringLiteral("schuss.bmp")), "BMP");
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB32),
                 CurrentPlatform().CopyScreen(copied).convertToFormat(QImage::Format_RGB32));
        QCOMPARE(CheckFitted(Zoom()->Canvas(), saved, Zoom()->BackColor()), QString());

        // Cancelled twice: nothing written, and the dialog stays with the folder of the last save.
        for (int i = 0; i < 2; ++i) {
            QString opened;
            WhenModal<QFileDialog>([&](QFileDialog *dialog) {
                opened = dialog->directory().path();
                QTest::keyClick(dialog, Qt::Key_Escape);
            });
            DragHand(text, false);
            QCOMPARE(opened, folder);
            QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("schuss.bmp")});
        }
    }

    // A file that cannot be written: the standard error message, and the window back.
    void unwritableFile()
    {
        Control<QRadioButton>("optFile")->click();
        MessageSeen error;
        WhenModal<QFileDialog>([&](QFileDialog *dialog) {
            AnswerMessage(&error, m_window.get());
            // The dialog accepts a new name in an existing folder where no file can be made.
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("/proc/self/schuss"));
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        DragHand(RootGeometry(m_front->window).topLeft() + QPoint(12, 12), false);
        Control<QRadioButton>("optClipboard")->click();
        QCOMPARE(error.title, QStringLiteral("Pixolva"));
        QCOMPARE(error.icon, QMessageBox::Critical);
        QVERIFY2(error.text.startsWith(QStringLiteral("Path/File access error")), qPrintable(error.text));
        QVERIFY2(error.text.endsWith(QStringLiteral("\n(Runtime-Error: 75)")), qPrintable(error.text));
        QVERIFY(m_window->isVisible());
    }

    // Unplugged between the choice on the map and the copy: an error, and the clipboard as it was.
    void monitorGoneBeforeTheCopy()
    {
        if (mdlWindow::GetMonitorCount() < 2)
            QSKIP("needs two monitors");
        PutTextOnClipboard("vorher");
        bool mapShown = false;
        ChooseOnMap(1, &mapShown);
        QElapsedTimer closed;
        MessageSeen notice;
        StartDelayedCapture("cmdDesktop", &closed, &notice);
        QVERIFY(mapShown);

        const QStringList before = QString::fromLatin1(Run(QStringLiteral("xrandr"), {QStringLiteral("--listmonitors")}))
                                       .split(QLatin1Char('\n'));
        for (const QString &line : before)
            if (line.contains(QStringLiteral("+1280+0")))
                Run(QStringLiteral("xrandr"), {QStringLiteral("--delmonitor"), line.simplified().section(QLatin1Char(' '), 1, 1)});
        MessageSeen error;
        AnswerMessage(&error, m_window.get());
        QTRY_VERIFY_WITH_TIMEOUT(m_window->isVisible(), 5000);
        QTRY_COMPARE(error.text, QStringLiteral("Invalid picture\n(Runtime-Error: 481)"));
        QCOMPARE(error.icon, QMessageBox::Critical);
        QCOMPARE(Clipboard(QStringLiteral("UTF8_STRING")), QByteArray("vorher"));
        QVERIFY(SetMonitors({QStringLiteral("*A 1280/338x1024/271+0+0 screen"),
                             QStringLiteral("B 1280/338x1024/271+1280+0 none")}));
    }

    void cleanupTestCase()
    {
        m_window.reset();
        m_front.reset();
        m_back.reset();
    }
};

QTEST_MAIN(frmMainCaptureTest)
#include "frmMainCaptureTest.moc"
