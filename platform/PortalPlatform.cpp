// The desktop on Wayland: pixels through the desktop portal everything else as before.
#include "platform/PortalPlatform.h"

#include "base/ErrorTexts.h"
#include "platform/PortalFrozenScreen.h"
#include "platform/PortalRequest.h"
#include "platform/StillPicture.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cmath>
#include <unistd.h>

namespace {
const QString ScreenshotInterface = QStringLiteral("org.freedesktop.portal.Screenshot");

// A window the user picked may come inside the translucent margin that its shadow falls on (GNOME
// leaves about ten pixels round the frame): the capture is the window with its frame, as on X11,
// without it. The margin is every row and column at the edges without a single opaque pixel. A
// picture without any opaque pixel stays as it is.
QImage WithoutShadowMargin(const QImage &picture)
{
    if (!picture.hasAlphaChannel())
        return picture;
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    QRect kept = argb.rect();
    const auto translucentRow = [&](int y) {
        for (int x = kept.left(); x <= kept.right(); ++x)
            if (qAlpha(argb.pixel(x, y)) == 255)
                return false;
        return true;
    };
    const auto translucentColumn = [&](int x) {
        for (int y = kept.top(); y <= kept.bottom(); ++y)
            if (qAlpha(argb.pixel(x, y)) == 255)
                return false;
        return true;
    };
    while (!kept.isEmpty() && translucentRow(kept.top()))
        kept.setTop(kept.top() + 1);
    if (kept.isEmpty())
        return picture;
    while (translucentRow(kept.bottom()))
        kept.setBottom(kept.bottom() - 1);
    while (translucentColumn(kept.left()))
        kept.setLeft(kept.left() + 1);
    while (translucentColumn(kept.right()))
        kept.setRight(kept.right() - 1);
    return picture.copy(kept);
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
        {{QStringLiteral("interactive"), interactive}, {QStringLiteral("modal"), true}});
    const QUrl uri(results.value(QStringLiteral("uri")).toString());
    const QString file = uri.isLocalFile() ? uri.toLocalFile() : QString();
    QImage picture(file);
    if (picture.isNull())
        RaiseError(ErrorKind::ScreenCopyUnreadable);
    RemoveHandedOver(file);
    if (interactive)
        picture = WithoutShadowMargin(picture);
    picture.setDevicePixelRatio(1);
    return picture.convertToFormat(QImage::Format_RGB32);
}

QImage PortalPlatform::CopyScreen(const QRect &r)
{
    if (r.isEmpty())
        return {};
    const QRect screen = VirtualScreen().ToQRect();
    if (m_frozen)
        return StillPicture::Sample(m_frozen->Picture(), screen, r.topLeft(), r.size());
    return StillPicture::Part(Screenshot(false), screen, r);
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
    const QVariantMap results = PortalRequest::Call(ScreenshotInterface, QStringLiteral("PickColor"), {});
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
    return WindowCopyWay::InDesktopDialog;
}

QImage PortalPlatform::CopyActiveWindow()
{
    return Screenshot(true);
}

QImage PortalPlatform::CopyPickedWindow()
{
    return Screenshot(true);
}
