// Captures on the clipboard as other programs see them, and a capture that outlives the window.
#include "capture/CaptureOutput.h"
#include "capture/ClipboardKeeper.h"
#include "capture/ClipboardPicture.h"
#include "capture/FastPng.h"
#include "platform/X11PasteHold.h"
#include "support/X11TestDesktop.h"

#include <QtTest>
#include <QAbstractNativeEventFilter>
#include <QClipboard>
#include <QGuiApplication>
#include <QThreadPool>

#include <condition_variable>
#include <mutex>

using namespace X11TestDesktop;

namespace {
QImage Pattern(int width, int height, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(width, height, format);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba(x * 7 % 256, y * 23 % 256, (x * y) % 256, (x + y) % 256));
    return image;
}

QImage Read(const QString &target)
{
    return QImage::fromData(Clipboard(target)).convertToFormat(QImage::Format_RGB32);
}

const ClipboardPicture &Offered()
{
    return dynamic_cast<const ClipboardPicture &>(*QGuiApplication::clipboard()->mimeData());
}

// Holds every thread of Qt's pool until opened, so that encodings started meanwhile wait. Where
// the test itself cannot open it (its thread blocked), it opens after a while on its own.
class PoolGate
{
public:
    PoolGate()
    {
        QSemaphore started;
        const int threads = QThreadPool::globalInstance()->maxThreadCount();
        for (int i = 0; i < threads; ++i)
            QThreadPool::globalInstance()->start([this, &started] {
                started.release();
                std::unique_lock<std::mutex> lock(m_mutex);
                if (!m_opened.wait_for(lock, std::chrono::seconds(10), [this] { return m_open; }))
                    m_forced = m_open = true;
            });
        started.acquire(threads);
    }
    ~PoolGate() { Open(); }
    void Open()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_open = true;
        }
        m_opened.notify_all();
    }
    bool OpenedOnItsOwn()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_forced;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_opened;
    bool m_open = false, m_forced = false;
};

// Notes the requests for the clipboard that reach this program, before anything else handles them.
struct SelectionRequests : QAbstractNativeEventFilter
{
    int seen = 0;
    SelectionRequests() { QCoreApplication::instance()->installNativeEventFilter(this); }
    bool nativeEventFilter(const QByteArray &, void *message, qintptr *) override
    {
        seen += (static_cast<xcb_generic_event_t *>(message)->response_type & 0x7f) == XCB_SELECTION_REQUEST;
        return false;
    }
};
}

class ClipboardTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(X11PasteHold::Install(&ClipboardPicture::StillEncoding, &ClipboardPicture::ReadyOnClipboard)); }

    // Bands compressed side by side join into one valid image, also where the further ones
    // run on spare time.
    void pngHoldsTheExactPixels_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<int>("bands");
        QTest::addColumn<FastPng::FurtherBands>("further");
        QTest::newRow("one band, odd width") << Pattern(37, 11) << 4 << FastPng::FurtherBands::AtOnce;
        QTest::newRow("three bands, alpha") << Pattern(301, 200, QImage::Format_ARGB32) << 3
                                            << FastPng::FurtherBands::AtOnce;
        QTest::newRow("two bands, the second on spare time") << Pattern(301, 200) << 2
                                                             << FastPng::FurtherBands::OnSpareTime;
    }
    void pngHoldsTheExactPixels()
    {
        QFETCH(QImage, picture);
        QFETCH(int, bands);
        QFETCH(FastPng::FurtherBands, further);
        const QImage back = QImage::fromData(FastPng::Encode(picture, bands, further), "PNG");
        QCOMPARE(back.convertToFormat(picture.format()), picture);
    }

    // Only the formats that readers take images in: Qt would make any other format it can write
    // on the window's thread at the request, an XPM of a 4K screen for many seconds. A BMP larger
    // than one request can carry goes in parts.
    void otherProgramsGetPngAndBmpWithTheExactPixels_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("small") << QSize(301, 200);
        QTest::newRow("bmp in parts") << QSize(2400, 2400);
    }
    void otherProgramsGetPngAndBmpWithTheExactPixels()
    {
        QFETCH(QSize, size);
        const QImage picture = Pattern(size.width(), size.height());
        CaptureOutput::PutOnClipboard(picture);
        QCOMPARE(ClipboardTargets(),
                 QStringList({"image/png", "image/bmp", "TARGETS", "MULTIPLE", "TIMESTAMP", "SAVE_TARGETS"}));
        QCOMPARE(Clipboard(QStringLiteral("image/xpm")), QByteArray());
        QCOMPARE(Read(QStringLiteral("image/png")), picture);
        QCOMPARE(Read(QStringLiteral("image/bmp")), picture);
    }

    // A paste that comes before its encoding has even started (every thread busy; the BMP's
    // begins only with the first request for it): the window's events run on meanwhile, and the
    // paste gets the picture once it is encoded, or a refusal where another program has copied
    // meanwhile.
    void pasteRightAfterTheCopyFrozeTheWindow_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("copiedMeanwhile");
        QTest::newRow("png") << "image/png" << false;
        QTest::newRow("bmp") << "image/bmp" << false;
        QTest::newRow("png, another program copies meanwhile") << "image/png" << true;
    }
    void pasteRightAfterTheCopyFrozeTheWindow()
    {
        QFETCH(QString, format);
        QFETCH(bool, copiedMeanwhile);
        const QImage picture = Pattern(301, 200);
        PoolGate gate;
        CaptureOutput::PutOnClipboard(picture);
        SelectionRequests requests;
        QProcess paste;
        paste.start(QStringLiteral("xclip"), {"-selection", "clipboard", "-t", format, "-o"});
        QTRY_VERIFY_WITH_TIMEOUT(requests.seen > 0, 20000);
        QVERIFY2(!gate.OpenedOnItsOwn(), "the window waited for the encoding");
        QCOMPARE(paste.state(), QProcess::Running);
        if (copiedMeanwhile) {
            PutTextOnClipboard("danach");
            QTRY_VERIFY(!QGuiApplication::clipboard()->ownsClipboard());  // heard of before the encoding ends
        }
        gate.Open();
        QTRY_VERIFY_WITH_TIMEOUT(paste.state() == QProcess::NotRunning, 10000);
        const QImage pasted = QImage::fromData(paste.readAllStandardOutput()).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(pasted, copiedMeanwhile ? QImage() : picture);
        QCOMPARE(paste.exitCode() != 0, copiedMeanwhile);
    }

    // Once another program owns the clipboard, nothing of the capture stays: the picture (which
    // lives on a shared-memory segment in the real program) and its encodings go.
    void pictureGoesWhenAnotherProgramCopies()
    {
        static bool released;
        released = false;
        const QImage source = Pattern(301, 200);
        QImage picture(const_cast<uchar *>(source.constBits()), source.width(), source.height(), source.bytesPerLine(),
                       source.format(), [](void *) { released = true; }, nullptr);
        CaptureOutput::PutOnClipboard(picture);
        picture = QImage();
        QCOMPARE(Read(QStringLiteral("image/bmp")), source);
        QVERIFY(!released);
        PutTextOnClipboard("danach");
        QTRY_VERIFY(released);
    }

    // manager: what a clipboard manager does with the hand-over (without one: the real program's
    // test below).
    void keptUntilAnotherProgramCopies_data()
    {
        QTest::addColumn<QString>("manager");
        QTest::addColumn<bool>("lingers");
        QTest::newRow("manager has the picture") << "saves" << false;
        QTest::newRow("manager has something else") << "breaks" << true;
    }
    void keptUntilAnotherProgramCopies()
    {
        QFETCH(QString, manager);
        QFETCH(bool, lingers);
        const QImage picture = Pattern(400, 300);
        CaptureOutput::PutOnClipboard(picture);
        QImage served;
        QElapsedTimer sinceCopy;
        // Once the window has gone and the capture is offered again, the user pastes it, then
        // copies something else.
        QTimer user;
        bool handedOver = false;
        QObject::connect(QGuiApplication::clipboard(), &QClipboard::changed, &user, [&] {
            handedOver = handedOver || !QGuiApplication::clipboard()->ownsClipboard();
        });
        QObject::connect(&user, &QTimer::timeout, &user, [&] {
            if (!handedOver || !QGuiApplication::clipboard()->ownsClipboard())
                return;
            user.stop();
            served = Read(QStringLiteral("image/png"));
            sinceCopy.start();
            PutTextOnClipboard("danach");
        });
        const auto save = [&](const QByteArrayList &) {
            const QByteArray png = manager == QLatin1String("saves") ? Offered().Encoded(QStringLiteral("image/png"))
                                                                     : FastPng::Encode(Pattern(4, 4), 1);
            Run(QStringLiteral("xclip"), {"-selection", "clipboard", "-t", "image/png", "-i"}, png);
            if (lingers)
                user.start(10);
            return true;
        };
        QElapsedTimer kept;
        kept.start();
        ClipboardKeeper::KeepAfterLastWindow(save, 20000);
        if (lingers) {
            QVERIFY2(sinceCopy.isValid() && sinceCopy.elapsed() < 1000, "serving did not end with another copy");
        } else {
            QVERIFY(kept.elapsed() < 2000);
            served = Read(QStringLiteral("image/png"));
        }
        QCOMPARE(served, picture);
    }

    void servingEndsAfterTheLongestTime()
    {
        CaptureOutput::PutOnClipboard(Pattern(8, 8));
        QElapsedTimer kept;
        kept.start();
        ClipboardKeeper::KeepAfterLastWindow(nullptr, 300);
        QVERIFY(kept.elapsed() >= 300 && kept.elapsed() < 5000);
    }

    // The program as the user meets it: copy the desktop with the hand, close the window, paste elsewhere.
    void copiedDesktopOutlivesTheProgram()
    {
        Run(QStringLiteral("xsetroot"), {QStringLiteral("-solid"), QStringLiteral("#3366aa")});
        PutTextOnClipboard("vorher");
        QProcess pixolva;
        pixolva.start(QStringLiteral(PIXOLVA_EXECUTABLE), QStringList());
        const QStringList wait{QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                               QStringLiteral("--name")};
        const QString window = QString::fromLatin1(Run(QStringLiteral("xdotool"), wait + QStringList{"Pixolva v"})).trimmed();
        QVERIFY(!window.isEmpty());
        // The hand (its centre 264, 208 in the client area) dropped on the desktop copies all of it.
        Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QStringLiteral("264"), QStringLiteral("208")});
        Xdotool({QStringLiteral("mousedown"), QStringLiteral("1")});
        MoveTo(QPoint(40, 980));
        Xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
        QTRY_VERIFY_WITH_TIMEOUT(ClipboardTargets().contains(QStringLiteral("image/png")), 10000);
        Xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
        Xdotool({QStringLiteral("key"), QStringLiteral("alt+F4")});
        QTRY_VERIFY(Run(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--name", "Pixolva"}).isEmpty());

        const QImage pasted = Read(QStringLiteral("image/png"));
        QCOMPARE(pixolva.state(), QProcess::Running);
        QImage desktop(QGuiApplication::primaryScreen()->geometry().size(), QImage::Format_RGB32);
        desktop.fill(QColor(0x33, 0x66, 0xaa));
        QCOMPARE(pasted, desktop);
        QElapsedTimer sinceCopy;
        sinceCopy.start();
        PutTextOnClipboard("danach");
        QTRY_VERIFY_WITH_TIMEOUT(pixolva.state() == QProcess::NotRunning, 3000);
        QVERIFY(sinceCopy.elapsed() < 1000);
    }
};

QTEST_MAIN(ClipboardTest)
#include "ClipboardTest.moc"
