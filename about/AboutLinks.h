// The addresses the About box's link labels hand to the desktop.
#pragma once

#include <QString>

namespace AboutLinks {
// A site's home page: "http://" + host + "/".
QString WebAddress(const QString &host);
// A new message to address with the subject as given, not percent-encoded:
// "mailto:" + address + "?subject=" + subject.
QString MailAddress(const QString &address, const QString &subject);
}
