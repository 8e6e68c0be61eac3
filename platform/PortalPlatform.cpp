// The desktop on Wayland: pixels through the desktop portal everything else as before.
#include "platform/PortalPlatform.h"

#include "base/ErrorTexts.h"
#include "platform/PortalFrozenScreen.h"
#include "platform/PortalRequest.h"
#include "platform/ShadowMargin.h"
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
