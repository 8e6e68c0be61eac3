// The eyedropper and the hand on headless sway, dragged with sway's real pointer, under Xwayland and
// as a native Wayland client: the view is live as on X11, the pixel under the tip is the
// compositor's pixel there at scale 1 and 2 and wherever sway centres the main window (half pixels
// included), though sway draws the pointer into its copies meanwhile; and the hand copies the
// window under it.
#include "app/PictureBox.h"
#include "app/frmMain.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"
#include "platform/Platform.h"
#include "platform/PlatformLoader.h"
#include "platform/wlroots/SwayIpc.h"
#include "support/VirtualPointer.h"

#include <QtTest>
#include <QtWidgets>

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
    void Fill(QColor colour)
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

bool Swaymsg(const QString &command)
{
    QProcess swaymsg;
    swaymsg.start(QStringLiteral("swaymsg"), {command});
    return swaymsg.waitForFinished(10000) && swaymsg.exitCode() == 0;
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
        // sway centres the window once it is mapped; Xwayland knows the pointer once it has come
        // over the window.
        QTRY_VERIFY((QRect(Origin(m_window.get()), m_window->size()).center() - m_layout.center()).manhattanLength() <= 2);
        const QPoint onHandle = Origin(m_window.get()) + handle->mapTo(m_window.get(), handle->rect().center());
        QTRY_VERIFY((m_pointer->MoveTo(onHandle, m_layout), (CurrentPlatform().CursorPos() - onHandle).manhattanLength() <= 1));
        QTest::qWait(100);
        m_pointer->Button(true);
        QTRY_VERIFY(!handle->isVisible());
    }

    // Wherever the tip is, the fields show the pattern's pixel there. The points lie level with
    // or below the main window's top edge: above it Xwayland rounds a pointer position between
    // pixels towards the window, a row low, which no program under X can see.
    void exactPixelUnderTheTip_data()
    {
        QTest::addColumn<QPoint>("at");
        for (const QPoint at : {QPoint(100, 200), QPoint(31, 150), QPoint(5, 299), QPoint(150, 114), QPoint(0, 250)})
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
        const QPoint onHand = Origin(m_window.get()) + hand->mapTo(m_window.get(), hand->rect().center());
        QTRY_VERIFY((m_pointer->MoveTo(onHand, m_layout), (CurrentPlatform().CursorPos() - onHand).manhattanLength() <= 1));
        QGuiApplication::clipboard()->clear();
        QTest::qWait(100);
        m_pointer->Button(true);
        QTRY_VERIFY(!hand->isVisible());
        m_pointer->MoveTo(QPoint(100, 100), m_layout);
        QTest::qWait(200);
        m_pointer->Button(false);
        QTRY_VERIFY_WITH_TIMEOUT(!QGuiApplication::clipboard()->image().isNull(), 10000);
        const QImage copy = QGuiApplication::clipboard()->image();
        // In the output's device pixels.
        const int scale = qEnvironmentVariable("PIXOLVA_SWAY_SIZE").section(QLatin1Char('x'), 0, 0).toInt() / m_layout.width();
        QCOMPARE(copy.size(), m_pattern.size() * scale);
        QCOMPARE(copy.pixel(copy.width() / 2, copy.height() / 2) & 0xffffff, 0x123456u);
        QTRY_VERIFY(hand->isVisible());
        QTRY_VERIFY(m_window->isVisible());
        QTRY_COMPARE(Origin(m_window.get()) == QPoint(-1, -1), false);
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
