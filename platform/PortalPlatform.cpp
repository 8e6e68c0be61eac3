// The desktop on Wayland: pixels through the desktop portal (and KWin), everything else as before.
#include "platform/PortalPlatform.h"

#include "base/ErrorTexts.h"
#include "platform/KWinScreenShot.h"
#include "platform/PortalFrozenScreen.h"
#include "platform/PortalRequest.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cmath>
#include <unistd.h>
#include <vector>

namespace {
const QString ScreenshotInterface = QStringLiteral("org.freedesktop.portal.Screenshot");
// Long enough for a person: the desktop may first ask whether to allow screenshots at all, and
// an interactive one waits for the user's choice in the desktop's dialog.
constexpr int ShotTimeoutMs = 60000;
constexpr int InteractiveTimeoutMs = 180000;

// Where the program's coordinates x fall in the picture's pixels, picture covering screen.
struct Mapping
{
    double sx, sy;
    QPoint origin;
    Mapping(const QImage &picture, const QRect &screen)
        : sx(double(picture.width()) / screen.width()), sy(double(picture.height()) / screen.height()),
          origin(screen.topLeft())
    {
    }
    int X(qint64 x) const { return int(std::floor((x - origin.x()) * sx)); }
    int Y(qint64 y) const { return int(std::floor((y - origin.y()) * sy)); }
};

// The picture's pixels inside r, all of them (more than r has where the desktop scales).
QImage Crop(const QImage &picture, const QRect &screen, const QRect &r)
{
    if (screen.isEmpty())
        return {};
    const Mapping m(picture, screen);
    const int left = m.X(r.left()), top = m.Y(r.top());
    const int right = m.X(qint64(r.right()) + 1), bottom = m.Y(qint64(r.bottom()) + 1);
    // Beyond the picture lies no monitor: black, as the screen's copy shows it.
    return picture.copy(QRect(left, top, right - left, bottom - top));
}

// One pixel of the picture for each of r's, the one whose place the program's pixel starts at.
QImage Sample(const QImage &picture, const QRect &screen, const QRect &r)
{
    QImage sample(r.size(), QImage::Format_RGB32);
    sample.fill(Qt::black);
    if (screen.isEmpty())
        return sample;
    const Mapping m(picture, screen);
    std::vector<int> columns(size_t(r.width()));
    for (int i = 0; i < r.width(); ++i)
        columns[size_t(i)] = m.X(qint64(r.left()) + i);
    for (int j = 0; j < r.height(); ++j) {
        const int y = m.Y(qint64(r.top()) + j);
        if (y < 0 || y >= picture.height())
            continue;
        const auto *from = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        auto *to = reinterpret_cast<QRgb *>(sample.scanLine(j));
        for (int i = 0; i < r.width(); ++i) {
            const int x = columns[size_t(i)];
            if (x >= 0 && x < picture.width())
                to[i] = from[x];
        }
    }
    return sample;
}

// The file the portal wrote for this request alone goes once it is read; anything that is not
// plainly ours stays where it is.
void RemoveHandedOver(const QString &file)
{
    const QFileInfo info(file);
    if (info.isFile() && !info.isSymLink() && info.ownerId() == ::getuid())
        QFile::remove(file);
}
}

PortalPlatform::PortalPlatform(std::unique_ptr<Platform> desktop) : ForwardingPlatform(std::move(desktop))
{
}

PortalPlatform::~PortalPlatform() = default;

QImage PortalPlatform::Screenshot(bool interactive)
{
    const QVariantMap results = PortalRequest::Call(
        ScreenshotInterface, QStringLiteral("Screenshot"),
        {{QStringLiteral("interactive"), interactive}, {QStringLiteral("modal"), true}},
        interactive ? InteractiveTimeoutMs : ShotTimeoutMs);
    const QUrl uri(results.value(QStringLiteral("uri")).toString());
    const QString file = uri.isLocalFile() ? uri.toLocalFile() : QString();
    QImage picture(file);
    if (picture.isNull())
        RaiseError(ErrorKind::ScreenCopyUnreadable);
    RemoveHandedOver(file);
    picture.setDevicePixelRatio(1);
    return picture.convertToFormat(QImage::Format_RGB32);
}

QImage PortalPlatform::CopyScreen(const QRect &r)
{
    if (r.isEmpty())
        return {};
    const QRect screen = VirtualScreen().ToQRect();
    if (m_frozen)
        return Sample(m_frozen->Picture(), screen, r);
    return Crop(Screenshot(false), screen, r);
}

void PortalPlatform::FreezeScreen()
{
    if (m_frozen)
        return;
    // What was just hidden or painted reaches the screen before the desktop copies it.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_frozen = std::make_unique<PortalFrozenScreen>(Screenshot(false));
}

void PortalPlatform::ThawScreen()
{
    m_frozen.reset();
}

std::optional<qint32> PortalPlatform::PickColour()
{
    const QVariantMap results = PortalRequest::Call(ScreenshotInterface, QStringLiteral("PickColor"), {}, ShotTimeoutMs);
    const QDBusArgument colour = results.value(QStringLiteral("color")).value<QDBusArgument>();
    double red = 0, green = 0, blue = 0;
    colour.beginStructure();
    colour >> red >> green >> blue;
    colour.endStructure();
    const auto byte = [](double part) { return qint32(qBound(0L, std::lround(part * 255), 255L)); };
    return byte(red) | byte(green) << 8 | byte(blue) << 16;
}

Platform::WindowCopyWay PortalPlatform::WindowCopies() const
{
    if (!m_kwin)
        m_kwin = KWinScreenShot::Offered();
    return *m_kwin ? WindowCopyWay::ActiveByDesktop : WindowCopyWay::InDesktopDialog;
}

QImage PortalPlatform::CopyActiveWindow()
{
    if (WindowCopies() == WindowCopyWay::ActiveByDesktop) {
        QImage picture = KWinScreenShot::CaptureActiveWindow();
        if (!picture.isNull())
            return picture;
        m_kwin = false;  // refused: from now on, and so in the notices too, the portal's dialog
    }
    return Screenshot(true);
}

QImage PortalPlatform::CopyPickedWindow()
{
    if (WindowCopies() == WindowCopyWay::ActiveByDesktop) {
        QImage picture = KWinScreenShot::CaptureInteractiveWindow();
        if (!picture.isNull())
            return picture;
        m_kwin = false;
    }
    return Screenshot(true);
}
