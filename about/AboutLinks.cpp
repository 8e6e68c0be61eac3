// The addresses the About box's link labels hand to the desktop.
#include "about/AboutLinks.h"

namespace AboutLinks {

QString WebAddress(const QString &host)
{
    return QStringLiteral("http://") + host + QLatin1Char('/');
}

QString MailAddress(const QString &address, const QString &subject)
{
    return QStringLiteral("mailto:") + address + QStringLiteral("?subject=") + subject;
}

}
