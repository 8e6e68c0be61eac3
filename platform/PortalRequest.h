// Requests to the desktop portal (org.freedesktop.portal.Desktop), answered synchronously.
#pragma once

#include <QString>
#include <QVariantMap>

namespace PortalRequest {
// Calls interface.method("", options) on the portal and waits for the answer that the portal
// sends later as the Response signal of a request object, running the event loop meanwhile (user
// input held back until afterwards). The wait lasts as long as the desktop's dialog is open,
// however long that is, and ends when the portal or a service of the desktop behind it stops
// answering. Returns the results of response 0. Raises ScreenCopyCancelled for response 1 (the
// user cancelled the dialog), ScreenCopyDenied for 2, NoScreenCopyService when no portal (or none
// with that interface) is on the session bus, ScreenCopyNoAnswer when the desktop stopped
// answering.
QVariantMap Call(const QString &interface, const QString &method, QVariantMap options);

// Whether a service owns its name on the session bus now.
bool IsOnBus(const QString &service);
}
