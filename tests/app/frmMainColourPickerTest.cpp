// The eyedropper of the real main window on a real X11 desktop with a monitor left of the primary:
// known colours painted on the screen, a drag with real pointer events, the five fields read back.
#include "base/Cursors.h"
#include "app/PictureBox.h"
#include "app/frmMain.h"
#include "localisation/cInifile.h"
#include "localisation/mdlI18n.h"
#include "support/ControlOf.h"
#include "support/X11TestDesktop.h"

#include <QtTest>
#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdlib>

namespace {
// The harness puts the primary monitor right of a second one: root x 1280 is the program's x 0.
constexpr QPoint PrimaryOrigin(1280, 0);

xcb_connection_t *Connection()
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// Paints a rectangle of the root window (root coordinates), under every window.
void PaintRoot(const QRect &r, QRgb colour)
{
    X11TestDesktop::FillWindow(0, colour & 0xffffffu, r);
}

// Where a point of a widget is on the root window, in device pixels.
QPoint RootPoint(QWidget *widget, QPoint logical)
{
    QWidget *window = widget->window();
    return X11TestDesktop::RootGeometry(quint32(window->winId())).topLeft()
        + widget->mapTo(window, logical) * window->devicePixelRatio();
}

// The pointer image as the X server shows it, wherever the pointer is.
struct PointerImage
{
    QImage image;
    QPoint hotSpot;
};

PointerImage CurrentPointer()
{
    xcb_connection_t *c = Connection();
    free(xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 4, 0), nullptr));
    auto *reply = xcb_xfixes_get_cursor_image_reply(c, xcb_xfixes_get_cursor_image(c), nullptr);
    if (!reply)
        return {};
    QImage image(reply->width, reply->height, QImage::Format_ARGB32_Premultiplied);
    const uint32_t *pixels = xcb_xfixes_get_cursor_image_cursor_image(reply);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, pixels[y * image.width() + x]);
    PointerImage pointer{image, QPoint(reply->xhot, reply->yhot)};
    free(reply);
    return pointer;
}

bool IsEyedropper(const PointerImage &pointer)
{
    const QImage eyedropper = Cursors::EyedropperImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int scale = pointer.image.width() / eyedropper.width();
    if (scale < 1 || pointer.image.size() != eyedropper.size() * scale)
        return false;
    if (pointer.hotSpot != QPoint(0, pointer.image.height() - scale))
        return false;
    // The tip and the body of the picture are where the eyedropper has them.
    int same = 0;
    for (int y = 0; y < eyedropper.height(); ++y)
        for (int x = 0; x < eyedropper.width(); ++x)
            same += (qAlpha(eyedropper.pixel(x, y)) > 0) == (qAlpha(pointer.image.pixel(x * scale, y * scale)) > 0);
    return same >= eyedropper.width() * eyedropper.height() * 95 / 100;
}

void Xdotool(const QStringList &arguments)
{
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), arguments), 0);
}

void MoveTo(QPoint root)
{
    Xdotool({QStringLiteral("mousemove"), QString::number(root.x()), QString::number(root.y())});
}

QRgb Colour(const QString &dec)
{
    const int v = dec.toInt();
    return qRgb(v & 255, (v >> 8) & 255, (v >> 16) & 255);
}
}

class frmMainColourPickerTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<frmMain> m_window;

    template <typename T>
    T *Control(const char *name) const
    {
        return ControlOf<T>(m_window.get(), name);
    }

    QStringList FieldTexts() const
    {
        QStringList texts;
        for (const char *name : {"txtDec", "txtHex", "txtR", "txtG", "txtB"})
            texts << Control<QLineEdit>(name)->text();
        return texts;
    }

    // Presses a button on the eyedropper; the drag is then under way.
    void PressEyedropper(int button)
    {
        auto *picCursor = Control<PictureBox>("picCursor");
        MoveTo(RootPoint(picCursor, QPoint(picCursor->width() / 2, picCursor->height() / 2)));
        QTest::qWait(50);
        Xdotool({QStringLiteral("mousedown"), QString::number(button)});
        QTRY_VERIFY(!picCursor->isVisible());
    }

    void Release(int button)
    {
        Xdotool({QStringLiteral("mouseup"), QString::number(button)});
        QTRY_VERIFY(Control<PictureBox>("picCursor")->isVisible());
    }

    void CheckIdle()
    {
        QVERIFY(Control<PictureBox>("picCursor")->isVisible());
        QVERIFY(!Control<QTimer>("Timer1")->isActive());
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(!QWidget::mouseGrabber());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(Connection());
        QVERIFY(m_dir.isValid());
        mdlI18n::LanguageFile().setPath(m_dir.filePath(QStringLiteral("pixolva.lng")));
        m_window = std::make_unique<frmMain>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
#ifdef PIXOLVA_TEST_SCALE_FACTOR
        QCOMPARE(m_window->devicePixelRatio(), 2.0);
#endif

        // Rows of white, red and blue across both monitors, away from the window; a green pixel
        // at either far corner of the virtual screen; single pixels for the arrow keys.
        const QRect frame(RootPoint(m_window.get(), QPoint(0, 0)), m_window->size() * m_window->devicePixelRatio());
        QVERIFY2(frame.bottom() < 880, "the window covers the painted rows");
        PaintRoot(QRect(0, 900, 2560, 1), qRgb(255, 255, 255));
        PaintRoot(QRect(0, 901, 2560, 1), qRgb(255, 0, 0));
        PaintRoot(QRect(0, 902, 2560, 1), qRgb(0, 0, 255));
        PaintRoot(QRect(0, 0, 1, 1), qRgb(0, 255, 0));
        PaintRoot(QRect(2559, 1023, 1, 1), qRgb(0, 255, 0));
        PaintRoot(QRect(1800, 950, 30, 1), qRgb(0, 0, 0));
        PaintRoot(QRect(1800, 950, 1, 1), qRgb(255, 0, 0));
        PaintRoot(QRect(1801, 950, 1, 1), qRgb(0, 0, 255));
        PaintRoot(QRect(1811, 950, 1, 1), qRgb(255, 255, 255));
        PaintRoot(QRect(1811, 940, 1, 1), qRgb(0, 255, 0));
    }

    void drag_data()
    {
        QTest::addColumn<QPoint>("target"); // root coordinates
        QTest::addColumn<int>("button");
        QTest::addColumn<QStringList>("texts"); // txtDec, txtHex, txtR, txtG, txtB
        const QStringList white{"16777215", "#FFFFFF", "255", "255", "255"};
        const QStringList red{"255", "#FF0000", "255", "0", "0"};
        const QStringList blue{"16711680", "#0000FF", "0", "0", "255"};
        const QStringList green{"65280", "#00FF00", "0", "255", "0"};
        QTest::newRow("white on the primary") << PrimaryOrigin + QPoint(640, 900) << 1 << white;
        QTest::newRow("red on the left monitor") << QPoint(3, 901) << 1 << red;
        QTest::newRow("blue on the left monitor, right button") << QPoint(700, 902) << 3 << blue;
        QTest::newRow("top-left corner of the virtual screen") << QPoint(0, 0) << 1 << green;
        QTest::newRow("bottom-right corner of the virtual screen") << QPoint(2559, 1023) << 1 << green;
    }
    void drag()
    {
        QFETCH(QPoint, target);
        QFETCH(int, button);
        QFETCH(QStringList, texts);

        PressEyedropper(button);
        MoveTo(target);
        QTRY_COMPARE(FieldTexts(), texts);
        // During the drag: the eyedropper is the pointer, no field has the focus.
        QVERIFY(Control<QTimer>("Timer1")->isActive());
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->hotSpot(), QPoint(0, 31));
        QCOMPARE(QApplication::focusWidget(), Control<QWidget>("picZoom"));
        QCOMPARE(Control<PictureBox>("picColour")->BackColor(), QColor(Colour(texts[0])));
        QVERIFY(IsEyedropper(CurrentPointer()));

        Release(button);
        CheckIdle();
        QVERIFY(!IsEyedropper(CurrentPointer()));
        QCOMPARE(FieldTexts(), texts);
        // The zoom view keeps the last image: the sampled pixel as a block, the red cross on it.
        const QImage &zoom = Control<PictureBox>("picZoom")->Canvas();
        QCOMPARE(zoom.size(), QSize(213, 85));
        QCOMPARE(zoom.pixel(103, 39), Colour(texts[0]));
        QCOMPARE(zoom.pixel(106, 42), qRgb(255, 0, 0));
    }

    // Over the program's own colour box the sample is the box's colour.
    void overTheOwnWindow()
    {
        Control<QLineEdit>("txtDec")->setText(QStringLiteral("35071"));
        auto *picColour = Control<PictureBox>("picColour");
        QCOMPARE(picColour->BackColor(), QColor(255, 136, 0));
        QTest::qWait(100); // painted on the screen
        PressEyedropper(1);
        MoveTo(RootPoint(picColour, QPoint(picColour->width() / 2, picColour->height() / 2)));
        QTRY_COMPARE(FieldTexts(), (QStringList{"35071", "#FF8800", "255", "136", "0"}));
        Release(1);
        CheckIdle();
    }

    // A click without moving samples what lies behind the hidden handle: the window's background.
    void clickSamplesBehindTheHandle()
    {
        Control<QLineEdit>("txtDec")->setText(QStringLiteral("1"));
        auto *picCursor = Control<PictureBox>("picCursor");
        MoveTo(RootPoint(picCursor, QPoint(2, picCursor->height() - 3)));
        QTest::qWait(50);
        Xdotool({QStringLiteral("click"), QStringLiteral("1")});
        QTRY_VERIFY(Control<QLineEdit>("txtDec")->text() != QStringLiteral("1"));
        QTRY_VERIFY(picCursor->isVisible());
        const QRgb background = m_window->palette().color(QPalette::Window).rgb();
        QCOMPARE(Colour(Control<QLineEdit>("txtDec")->text()), background);
        CheckIdle();
    }

    // While the button is held the arrow keys move the pointer by one pixel, by ten with Shift.
    void arrowKeysMoveThePointer()
    {
        PressEyedropper(1);
        MoveTo(QPoint(1800, 950));
        QTRY_COMPARE(Control<QLineEdit>("txtHex")->text(), QStringLiteral("#FF0000"));
        Xdotool({QStringLiteral("key"), QStringLiteral("Right")});
        QTRY_COMPARE(Control<QLineEdit>("txtHex")->text(), QStringLiteral("#0000FF"));
        Xdotool({QStringLiteral("key"), QStringLiteral("shift+Right")});
        QTRY_COMPARE(Control<QLineEdit>("txtHex")->text(), QStringLiteral("#FFFFFF"));
        Xdotool({QStringLiteral("key"), QStringLiteral("shift+Up")});
        QTRY_COMPARE(Control<QLineEdit>("txtHex")->text(), QStringLiteral("#00FF00"));
        Release(1);
        CheckIdle();
    }

    void cleanupTestCase()
    {
        m_window.reset();
    }
};

#ifdef PIXOLVA_TEST_SCALE_FACTOR
int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", PIXOLVA_TEST_SCALE_FACTOR);
    QApplication app(argc, argv);
    frmMainColourPickerTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#else
QTEST_MAIN(frmMainColourPickerTest)
#endif
#include "frmMainColourPickerTest.moc"
