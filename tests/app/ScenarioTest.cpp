// A user's whole run with the real main window on openbox, monitor B left of the primary A.
#include "base/ErrorTexts.h"
#include "app/PictureBox.h"
#include "app/frmMain.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"
#include "monitors/frmMonitor.h"
#include "platform/Platform.h"
#include "support/ModalWatcher.h"
#include "support/X11TestDesktop.h"

#include <QtWidgets>

using namespace X11TestDesktop;
using ModalWatcher::WhenModal;

namespace {
const QPoint Origin(1280, 0);  // the primary's top-left corner on the root window

// Clicks the left monitor's box on the map once the map is on the screen.
void ChooseLeftMonitor()
{
    WhenModal<frmMonitor>([](frmMonitor *map) {
        MoveTo(map->findChild<QLabel *>(QStringLiteral("lblDesktop"))->mapToGlobal(QPoint(40, 40)));
        Xdo(QStringLiteral("click 1"));
    }, nullptr, [](frmMonitor *map) { return map->windowHandle()->isExposed(); });
}

// Answers the next message box with OK, noting its text; then() runs while it is still open.
void AnswerMessage(QString *text, const std::function<void(QMessageBox *)> &then)
{
    WhenModal<QMessageBox>([=](QMessageBox *box) {
        *text = box->text();
        then(box);
        box->button(QMessageBox::Ok)->click();
    });
}

bool IsNormal(WId window) { return Run(QStringLiteral("xprop"), {"-id", QString::number(window), "WM_STATE"}).contains("Normal"); }
}

class ScenarioTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<frmMain> m_window;
    std::unique_ptr<ForeignWindow> m_back, m_front;  // the back one partly under the main window

    template <typename T = QWidget>
    T *Control(const char *name) const { return m_window->findChild<T *>(QLatin1String(name)); }
    bool Idle() const { return m_window->isVisible() && Control("picCursorScreen")->isVisible(); }
    void FocusHandle(const char *handle)
    {
        Xdo(QStringLiteral("windowactivate --sync %1").arg(m_window->winId()));
        QTRY_COMPARE(QApplication::activeWindow(), m_window.get());
        Control(handle)->setFocus(Qt::TabFocusReason);
    }
    // Presses the mouse on a handle once the window is back on the screen (a window shown again
    // may not be mapped yet on a busy machine, and the press would land on what lies beneath).
    void Press(const char *handle)
    {
        QTRY_VERIFY(CurrentPlatform().IsWindowShown(m_window->winId()) && m_window->windowHandle()->isExposed());
        MoveTo(Control(handle)->mapToGlobal(Control(handle)->rect().center()));
        Xdo(QStringLiteral("mousedown 1"));
        QTRY_VERIFY(!Control(handle)->isVisible());
    }

private Q_SLOTS:
    void initTestCase()
    {
        mdlI18n::LanguageFile().setPath(m_dir.filePath(QStringLiteral("pixolva.lng")));
        PaintRootPattern();
        m_window = std::make_unique<frmMain>();
        m_window->move(1400, 100);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_back = StartXMessage(QPoint(1600, 300), QStringLiteral("Hinten"));
        m_front = StartXMessage(QPoint(1700, 340), QStringLiteral("Vorne"));
        QVERIFY(m_back->window && m_front->window);
        QTRY_VERIFY(IsAbove(m_window->winId()));
    }

    // The fields show the exact pixel under the eyedropper's tip, wherever the pointer goes.
    void eyedropperAcrossBothMonitors()
    {
        Press("picCursor");
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(QGuiApplication::overrideCursor()->hotSpot(), QPoint(0, 31));
        for (const auto &[root, hex] : QList<std::pair<QPoint, QString>>{
                 {{1300, 500}, "#14F451"}, {{5, 3}, "#050300"}, {{2559, 1023}, "#FFFF93"}}) {
            MoveTo(root);
            QTRY_COMPARE(Control<QLineEdit>("txtHex")->text(), hex);
        }
        Xdo(QStringLiteral("mouseup 1"));
        QTRY_VERIFY(Control("picCursor")->isVisible());
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // By keyboard alone: Space on the focused eyedropper starts at the pointer, the arrows move
    // it (Shift ten pixels), Enter ends with the pixel under it; the keyboard stays on the handle.
    void eyedropperByKeyboard()
    {
        MoveTo({1300, 500});
        FocusHandle("picCursor");
        Xdo(QStringLiteral("key space"));
        QTRY_VERIFY(!Control("picCursor")->isVisible());
        Xdo(QStringLiteral("key Right Right shift+Down"));
        QTRY_COMPARE(CurrentPlatform().CursorPos() + Origin, QPoint(1302, 510));
        Xdo(QStringLiteral("key Return"));
        QTRY_VERIFY(Control("picCursor")->isVisible());
        QCOMPARE(Control<QLineEdit>("txtHex")->text(), QStringLiteral("#16FE51"));
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(QApplication::focusWidget(), Control("picCursor"));
    }

    // The left monitor chosen on the map, copied two seconds after the notice, read back as
    // another program reads the clipboard.
    void monitorToTheClipboard()
    {
        ChooseLeftMonitor();
        QString notice;
        QElapsedTimer closed;
        AnswerMessage(&notice, [&](QMessageBox *) { closed.start(); });
        QTest::mouseClick(Control("cmdDesktop"), Qt::LeftButton);
        QVERIFY2(notice.startsWith(QStringLiteral("Der Desktop wird in 2 Sekunden kopiert.\n")) && !notice.contains(u'\r'),
                 qPrintable(notice));
        QVERIFY(!m_window->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(m_window->isVisible(), 10000);
        QVERIFY2(closed.elapsed() >= 1900, qPrintable(QString::number(closed.elapsed())));
        QTRY_VERIFY(IsAbove(m_window->winId()));
        const QImage picture = QImage::fromData(Clipboard(QStringLiteral("image/png")), "PNG");
        QVERIFY(picture.size() == QSize(1280, 1024) && CompareWithPattern(picture, QPoint(0, 0)).isEmpty());
        Control<QTimer>("Timer3")->setInterval(1);  // the delay has been seen once
    }

    // So that the box cannot end up behind it, the main window is not on top while the box is
    // open. Minimised all the same (openbox offers it on every window and takes the main window
    // along), the box comes back, and the main window with it.
    void aboutBox()
    {
        bool aboveWhileOpen = true, minimised = false, restored = false;
        WhenModal<QDialog>([&](QDialog *about) {
            aboveWhileOpen = !QTest::qWaitFor([&] { return !IsAbove(m_window->winId()); });
            QObject::connect(about->windowHandle(), &QWindow::windowStateChanged,
                             [&](Qt::WindowState state) { minimised = minimised || state == Qt::WindowMinimized; });
            Xdo(QStringLiteral("windowminimize %1").arg(about->winId()));
            restored = QTest::qWaitFor([&] {
                return minimised && !about->isMinimized() && IsNormal(about->winId()) && IsNormal(m_window->winId());
            });
            about->reject();
        }, nullptr, [](QDialog *about) {
            return about->objectName() == QLatin1String("frmAbout") && about->windowHandle()->isExposed();
        });
        QTest::mouseClick(Control("cmdAbout"), Qt::LeftButton);
        QVERIFY(!aboveWhileOpen && restored);
        QTRY_VERIFY(IsAbove(m_window->winId()));
    }

    // The hand dropped on the back window's title bar: the copy waits until the main window's
    // frame has left it, and no late preview covers the result. With Ctrl the window comes to
    // the front first. By keyboard, Space starts the hand, Esc cancels it and Ctrl+Enter ends it.
    void handCapture_data()
    {
        QTest::addColumn<bool>("ctrl");
        QTest::addColumn<bool>("keyboard");
        QTest::addColumn<QString>("file");  // typed without extension; empty: to the clipboard
        QTest::newRow("by keyboard with Ctrl+Enter, into a PNG file") << true << true << "schuss.png";
        QTest::newRow("as it lies, into a BMP file") << false << false << "schuss.bmp";
        QTest::newRow("brought to the front with Ctrl, to the clipboard") << true << false << "";
    }
    void handCapture()
    {
        QFETCH(bool, ctrl);
        QFETCH(bool, keyboard);
        QFETCH(QString, file);
        Platform &platform = CurrentPlatform();
        const QRect back = platform.WindowRect(m_back->window).ToQRect();
        // Shown again after the row before. Checked once it holds: while the window manager frames
        // the window anew, its place can read wrong for a moment.
        QVERIFY(QTest::qWaitFor([&] {
            return platform.IsWindowShown(m_window->winId()) && m_window->windowHandle()->isExposed()
                   && back.intersects(platform.WindowRect(m_window->winId()).ToQRect());
        }));
        QVERIFY(back.intersects(platform.WindowRect(m_front->window).ToQRect()));
        const QString path = m_dir.filePath(file);
        Control<QRadioButton>(file.isEmpty() ? "optClipboard" : "optFile")->click();
        if (!file.isEmpty())
            WhenModal<QFileDialog>([&](QFileDialog *dialog) {
                auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
                QCOMPARE(types->currentText() + u'|' + types->itemText(1), QStringLiteral("Bitmap (*.bmp)|PNG-Bild (*.png)"));
                if (path.endsWith(QLatin1String(".png")))  // chosen as a user does: the list shows PNG files only
                    QTest::keyClick(types, Qt::Key_Down);
                dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(path.chopped(4));
                QTest::keyClick(dialog, Qt::Key_Return);
            });
        const QPoint target = QPoint(back.right() - 6, back.top() + 8) + Origin;  // its title bar, clear of the others
        if (keyboard) {
            MoveTo(target - QPoint(1, 0));
            FocusHandle("picCursorScreen");
            // Esc first: the hand comes back, nothing is copied (no save dialog opens).
            Xdo(QStringLiteral("key space"));
            QTRY_VERIFY(!Control("picCursorScreen")->isVisible());
            Xdo(QStringLiteral("key Escape"));
            QTRY_VERIFY(Idle() && Control("picCursorScreen")->hasFocus());
            Xdo(QStringLiteral("key space"));
            QTRY_VERIFY(!Control("picCursorScreen")->isVisible());
            QCOMPARE(QApplication::focusWidget(), Control("picZoom"));  // no field looks ready for typing
            Xdo(QStringLiteral("key Right"));
            QTRY_COMPARE(platform.CursorPos() + Origin, target);
            Xdo(QStringLiteral("key %1+Return").arg(ctrl ? "ctrl" : "shift"));
        } else {
            Press("picCursorScreen");
            if (QTest::currentTestFailed())
                return;
            MoveTo(target);
            Xdo(QStringLiteral("keydown %1 mouseup 1 keyup %1").arg(ctrl ? "ctrl" : "shift"));
        }
        QTRY_VERIFY(Idle());
        Control<QRadioButton>("optClipboard")->click();
        if (file.isEmpty())
            QTRY_VERIFY(ClipboardTargets().contains(QStringLiteral("image/png")));
        const QImage saved = (file.isEmpty() ? QImage::fromData(Clipboard(QStringLiteral("image/png")), "PNG") : QImage(path))
                                 .convertToFormat(QImage::Format_RGB32);
        if (!file.isEmpty())
            QCOMPARE(QImageReader(path).format(), path.section(u'.', -1).toLatin1());
        const QImage shown = Control<PictureBox>("picZoom")->Canvas();
        m_window->ShowPictureFitted(saved);
        QCOMPARE(Control<PictureBox>("picZoom")->Canvas(), shown);

        // Regression: the keyboard reached the fields as if the window had never been left:
        // access keys moved the focus without selecting the text, typing appended to it.
        QTRY_COMPARE(Run(QStringLiteral("xdotool"), {"getactivewindow"}).trimmed().toULongLong(), quint64(m_window->winId()));
        const QString hex = QStringLiteral("#09") + Control<QLineEdit>("txtHex")->text().mid(3);
        Xdo(QStringLiteral("key alt+r type 9"));
        QTRY_COMPARE(Control<QLineEdit>("txtR")->text(), QStringLiteral("9"));
        Xdo(QStringLiteral("key alt+x key ctrl+c"));
        QTRY_COMPARE(QString::fromLatin1(Clipboard(QStringLiteral("UTF8_STRING"))), hex);

        m_window->hide();
        QTRY_VERIFY(!platform.IsWindowShown(m_window->winId()));
        const auto now = [&] { return platform.CopyScreen(back).convertToFormat(QImage::Format_RGB32); };
        QTRY_COMPARE(now(), saved);  // once the windows beneath have painted themselves
        m_window->show();
    }

    // Unplugged between the choice and the copy: error 481, and the clipboard keeps what it had.
    void monitorUnpluggedBeforeTheCopy()
    {
        QTRY_VERIFY(Idle());
        const QByteArray clipboard = Clipboard(QStringLiteral("TARGETS"));
        ChooseLeftMonitor();
        QString notice, error;
        AnswerMessage(&notice, [&](QMessageBox *box) {
            WhenModal<QMessageBox>([&](QMessageBox *shown) {
                error = shown->text();
                shown->button(QMessageBox::Ok)->click();
            }, box);
            Run(QStringLiteral("xrandr"), {"--delmonitor", "B"});
        });
        QTest::mouseClick(Control("cmdDesktop"), Qt::LeftButton);
        QTRY_COMPARE(error, ErrorDescription(ErrorKind::MonitorGone) + QStringLiteral("\n(Runtime-Error: 481)"));
        QTRY_VERIFY(m_window->isVisible());
        QCOMPARE(Clipboard(QStringLiteral("TARGETS")), clipboard);
    }
};

QTEST_MAIN(ScenarioTest)
#include "ScenarioTest.moc"
