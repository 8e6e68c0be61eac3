// The font configuration read on a thread of its own while the application object starts.
#include "platform/FontConfigWarmUp.h"

#include <system_error>

#ifdef PIXOLVA_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

FontConfigWarmUp::FontConfigWarmUp()
{
#ifdef PIXOLVA_HAVE_FONTCONFIG
    try {
        // The library keeps the configuration as its current one, which the toolkit then takes;
        // should the toolkit ask first, each reads a copy and one is dropped, at no other cost.
        m_thread = std::thread([] { FcInit(); });
    } catch (const std::system_error &) {
        // No thread to spare: the toolkit reads the configuration when it needs it.
    }
#endif
}

FontConfigWarmUp::~FontConfigWarmUp()
{
    Wait();
}

void FontConfigWarmUp::Wait()
{
    if (m_thread.joinable())
        m_thread.join();
}
