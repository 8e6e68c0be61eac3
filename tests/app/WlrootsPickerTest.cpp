// The main window on headless sway, driven with sway's real pointer, under Xwayland and as a native
// Wayland client. The eyedropper: the view is live as on X11, the pixel under the tip is the
// compositor's pixel there at scale 1 and 2 and wherever sway centres the main window (half pixels
// included), though sway draws the pointer into its copies meanwhile. The hand copies the window
// under it; Desk&top and "Fenster" copy the layout and the focused window as grim sees them.
#include "app/PictureBox.h"
#include "app/frmMain.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"
#include "platform/Platform.h"
#include "platform/PlatformLoader.h"
#include "platform/wlroots/SwayIpc.h"
#include "support/ModalWatcher.h"
#include "support/SwayTools.h"
#include "support/VirtualPointer.h"

#include <QtTest>
#include <QtWidgets>

using SwayTools::Swaymsg;

namespace {
QRgb PatternPixel(QPoint p)
{
    return qRgb(p.x() & 0xff, p.y() & 0xff, 0x80 | (p.x() >> 8) << 2 | (p.y() >> 8));
}

// A window of pixels that all differ, or one colour when told.
class PatternWindow : public QWidget
{
public:
    PatternWindow()
    {
        m_pattern = QImage(320, 300, QImage::Format_RGB32);
        for (int y = 0; y < m_pattern.height(); ++y)
            for (int x = 0; x < m_pattern.width(); ++x)
                m_pattern.setPixel(x, y, PatternPixel(QPoint(x, y)));
        setFixedSize(m_pattern.size());
    }
    void Fill(QColor colour = QColor())  // none: the pattern again
    {
        m_fill = colour;
        repaint();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        if (m_fill.isValid())
            painter.fillRect(rect(), m_fill);
        else
            painter.drawImage(0, 0, m_pattern);
    }

private:
    QImage m_pattern;
    QColor m_fill;
};

// Where sway shows a window's surface: with Qt's Wayland platform Qt itself does not know.
QPoint Origin(const QWidget *w)
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return w->mapToGlobal(QPoint(0, 0));
    for (const SwayIpc::View &view : SwayIpc::Views().value_or(QList<SwayIpc::View>()))
        if (view.pid == QCoreApplication::applicationPid() && view.content.size() == w->size())
            return view.content.topLeft();
    return QPoint(-1, -1);
}

// Our windows in sway's tree now.
QList<SwayIpc::View> OwnViews()
{
    QList<SwayIpc::View> own;
    for (const SwayIpc::View &view : SwayIpc::Views().value_or(QList<SwayIpc::View>()))
        if (view.pid == QCoreApplication::applicationPid())
            own << view;
    return own;
}
}

class WlrootsPickerTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    PatternWindow m_pattern;
    std::unique_ptr<frmMain> m_window;
    std::unique_ptr<VirtualPointer> m_pointer;
    QRect m_layout;
    int m_ticks = 0;

    // The output's device pixels per layout pixel.
    int Scale() const { return qEnvironmentVariable("PIXOLVA_SWAY_SIZE").section(QLatin1Char('x'), 0, 0).toInt() / m_layout.width(); }
    // Puts sway's pointer on a control of the main window, where Xwayland sees it too. sway
    // centres the window whenever it is mapped, and with Qt's Wayland platform tells the window's
    // place without its title bar for a moment before.
    void PointAt(const QWidget *control)
    {
        // Aimed anew each time, should the window still be on its way to its place.
        const auto pointedAt = [&] {
            if ((QRect(Origin(m_window.get()), m_window->size()).center() - m_layout.center()).manhattanLength() > 2)
                return false;
            const QPoint on = Origin(m_window.get()) + control->mapTo(m_window.get(), control->rect().center());
            // A pointer that does not move tells no window anything: from a pixel beside, each time.
            m_pointer->MoveTo(on + QPoint(1, 0), m_layout);
            m_pointer->MoveTo(on, m_layout);
            return (CurrentPlatform().CursorPos() - on).manhattanLength() <= 1;
        };
        QVERIFY(QTest::qWaitFor(pointedAt, 10000));
        QTest::qWait(100);
    }

    // Whether sway has given the keyboard to w.
    static bool Focused(const QWidget *w)
    {
        const QList<SwayIpc::View> own = OwnViews();
        return std::any_of(own.begin(), own.end(), [w](const SwayIpc::View &view) {
            return view.focused && view.content == QRect(Origin(w), w->size());
        });
    }

    QString Hex() const { return m_window->findChild<QLineEdit *>(QStringLiteral("txtHex"))->text(); }
    static QString HexOf(QRgb rgb) { return QStringLiteral("#%1").arg(rgb & 0xffffff, 6, 16, QLatin1Char('0')).toUpper(); }

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(PlatformLoader::InstalledWay(), PlatformLoader::Way::Wlroots);
        m_pointer = VirtualPointer::Create();
        QVERIFY(m_pointer);
        m_layout = CurrentPlatform().VirtualScreen().ToQRect();
        mdlI18n::LanguageFile().setPath(m_dir.filePath(QStringLiteral("pixolva.lng")));
        // Found by its title, an X window under Xwayland as well as a native one.
        m_pattern.setWindowTitle(QStringLiteral("Muster %1").arg(QCoreApplication::applicationPid()));
        m_pattern.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_pattern));
        QTRY_VERIFY(Swaymsg(QStringLiteral("[title=\"^%1$\"] floating enable, border none, move absolute position 0 0").arg(m_pattern.windowTitle())));
        m_window = std::make_unique<frmMain>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        connect(m_window->findChild<QTimer *>(QStringLiteral("Timer1")), &QTimer::timeout, this, [this] { ++m_ticks; });
        // The press on the eyedropper, with sway's pointer.
        auto *handle = m_window->findChild<PictureBox *>(QStringLiteral("picCursor"));
        QTRY_COMPARE(Origin(&m_pattern), QPoint(0, 0));
        PointAt(handle);
        m_pointer->Button(true);
        QTRY_VERIFY(!handle->isVisible());
    }

    // Wherever the tip is, the fields show the pattern's pixel there. The points lie level with
    // or below the main window's top edge: above it Xwayland rounds a pointer position between
    // pixels towards the window, a row low, which no program under X can see.
    void exactPixelUnderTheTip_data()
    {
        QTest::addColumn<QPoint>("at");
        for (const QPoint at : {QPoint(60, 200), QPoint(31, 150), QPoint(5, 299), QPoint(150, 114), QPoint(0, 250)})
            QTest::addRow("%d,%d", at.x(), at.y()) << at;
    }
    void exactPixelUnderTheTip()
    {
        QFETCH(QPoint, at);
        m_pointer->MoveTo(at, m_layout);
        QTRY_COMPARE(Hex(), HexOf(PatternPixel(at)));
    }

    // A change made while the button is held shows within two ticks of reaching the screen.
    void liveWhileHeld()
    {
        m_pointer->MoveTo(QPoint(50, 250), m_layout);
        QTRY_COMPARE(Hex(), HexOf(PatternPixel(QPoint(50, 250))));
        m_pattern.Fill(QColor(0x12, 0x34, 0x56));
        QGuiApplication::sync();
        const int before = m_ticks;
        QTRY_COMPARE(Hex(), QStringLiteral("#123456"));
        QVERIFY2(m_ticks - before <= 3, qPrintable(QStringLiteral("%1 ticks").arg(m_ticks - before)));
    }

    // The release ends the drag and gives the main window back.
    void releaseShowsTheWindowAgain()
    {
        m_pointer->Button(false);
        QTRY_VERIFY(m_window->findChild<PictureBox *>(QStringLiteral("picCursor"))->isVisible());
        QVERIFY(m_window->isVisible());
    }

    // The hand dragged onto the pattern's window copies exactly that window to the clipboard, and
    // the main window comes back.
    void handCopiesTheWindowUnderIt()
    {
        auto *hand = m_window->findChild<PictureBox *>(QStringLiteral("picCursorScreen"));
        QGuiApplication::clipboard()->clear();
        PointAt(hand);
        m_pointer->Button(true);
        QTRY_VERIFY(!hand->isVisible());
        m_pointer->MoveTo(QPoint(100, 100), m_layout);
        QTest::qWait(200);
        m_pointer->Button(false);
        QTRY_VERIFY_WITH_TIMEOUT(!QGuiApplication::clipboard()->image().isNull(), 10000);
        const QImage copy = QGuiApplication::clipboard()->image();
        // In the output's device pixels.
        QCOMPARE(copy.size(), m_pattern.size() * Scale());
        QCOMPARE(copy.pixel(copy.width() / 2, copy.height() / 2) & 0xffffff, 0x123456u);
        QTRY_VERIFY(hand->isVisible());
        QTRY_VERIFY(m_window->isVisible());
        QTRY_COMPARE(Origin(m_window.get()) == QPoint(-1, -1), false);
    }

    // Desk&top and "Fenster" clicked, their notice answered with Return: two seconds later the
    // whole layout, or the focused window with the border and title bar sway draws round it, is
    // on the clipboard as other programs read it, equal to grim's picture of the same; and the
    // main window is back with the keyboard.
    void screenshotCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("Desk&top") << QStringLiteral("cmdDesktop");
        QTest::newRow("Fenster") << QStringLiteral("cmdWindow");
    }
    void screenshotCommands()
    {
        QFETCH(QString, command);
        const bool window = command == QLatin1String("cmdWindow");
        m_pattern.Fill();
        QVERIFY(Swaymsg(QStringLiteral("[title=\"^%1$\"] border normal 3, move absolute position 0 0").arg(m_pattern.windowTitle())));
        QGuiApplication::clipboard()->setText(QStringLiteral("-"));
        PointAt(m_window->findChild<QPushButton *>(command));
        QString notice;
        ModalWatcher::WhenModal<QMessageBox>([&notice](QMessageBox *box) {
            notice = box->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        m_pointer->Button(true);
        m_pointer->Button(false);
        QTRY_VERIFY(notice.contains(QStringLiteral("in 2 Sekunden kopiert")));
        // What sway shows once the main window has left the screen and the resting pointer is
        // hidden, before the copy.
        QTRY_VERIFY(OwnViews().size() == 1);
        QImage grim, last;
        QVERIFY(QTest::qWaitFor([&] { return last = grim, QTest::qWait(200), (grim = SwayTools::Grim()) == last; }, 1500));
        const SwayIpc::View focused = OwnViews().value(0);
        QVERIFY(Focused(&m_pattern));
        QVERIFY(focused.frame.top() < focused.content.top() - 10 && focused.frame.left() == focused.content.left() - 3);
        QVERIFY(QTest::qWaitFor([] { return SwayTools::ClipboardTypes().contains(QLatin1String("image/png")); }, 10000));
        const QImage copy = QImage::fromData(SwayTools::Clipboard(QStringLiteral("image/png")), "PNG");
        const QRect expected = window ? QRect(focused.frame.topLeft() * Scale(), focused.frame.size() * Scale()) : grim.rect();
        QCOMPARE(copy.convertToFormat(QImage::Format_RGB32), grim.copy(expected));
        QTRY_VERIFY(m_window->isVisible() && m_window->findChild<QPushButton *>(command)->isVisible());
        QTRY_COMPARE(QApplication::activeWindow(), m_window.get());
        QTRY_VERIFY(Focused(m_window.get()));
        QVERIFY(Swaymsg(QStringLiteral("[title=\"^%1$\"] border none, move absolute position 0 0").arg(m_pattern.windowTitle())));
    }
};

int main(int argc, char *argv[])
{
    PlatformLoader::ChooseWindowSystem();
    QApplication app(argc, argv);
    PlatformLoader::InstallPlatform();
    WlrootsPickerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "WlrootsPickerTest.moc"
