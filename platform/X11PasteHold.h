// Pastes into other programs that wait for data still being made, without the window waiting (X11).
#pragma once

#include <QByteArray>

#include <functional>

namespace X11PasteHold {
// Whether a paste of the clipboard in this format (the X target's name: "image/png", "MULTIPLE"...)
// would have to wait for its data.
using StillMaking = std::function<bool(const QByteArray &target)>;

// From now on another program's request for the clipboard in a format that stillMaking names is
// not handed to Qt, whose answer would make the window wait for the data, but held back, the
// window's events running on, and handed to Qt once stillMaking no longer names it. Qt then
// answers it as it answers any request, for whatever the clipboard holds by then. Requests that
// come together (twenty readers at once) are handed to Qt one per turn of the event loop, since
// each answer may take the window a while. Requests for the list of formats pass at once. Call
// once, after the application object; false without X11.
bool Install(StillMaking stillMaking);
}
