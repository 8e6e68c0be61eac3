// What the first window reads from the desktop, read ahead on a thread of its own.
#include "platform/ReadAhead.h"

#include <QDBusConnection>
#include <QFontDatabase>
#include <QStringList>

#ifdef PIXOLVA_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace ReadAhead {

void FontConfiguration()
{
#ifdef PIXOLVA_HAVE_FONTCONFIG
    // The library keeps the configuration as its current one, which the toolkit then takes;
    // should the toolkit ask first, each reads a copy and one is dropped, at no other cost.
    FcInit();
#endif
}

void FontList()
{
    // The font database is shared by all threads and filled once, under its own lock.
    QFontDatabase::families();
}

void SessionBus()
{
    // One connection serves the whole program from whichever thread opened it.
    QDBusConnection::sessionBus();
}

}
