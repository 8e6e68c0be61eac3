// Pastes into other programs served without the window waiting (X11).
#pragma once

#include <QByteArray>

#include <functional>

namespace X11PasteHold {
// Whether a paste of the clipboard in this format (the X target's name: "image/png", "MULTIPLE"...)
// would have to wait for its data.
using StillMaking = std::function<bool(const QByteArray &target)>;
// The clipboard's data in this format where this process offers it and it is ready; null
// otherwise (the request is then Qt's to answer).
using ReadyData = std::function<QByteArray(const QByteArray &target)>;

// From now on another program's request for the clipboard in a format that stillMaking names is
// not handed to Qt, whose answer would make the window wait for the data, but held back, the
// window's events running on, until stillMaking no longer names it. Data that readyData then
// gives is written into the reader's window on a thread of its own, in parts where it is large,
// so that neither a slow, stalled or vanished reader nor many at once hold up the window. Any
// other request is Qt's: it answers it for whatever the clipboard holds by then, one per turn of
// the event loop where several come together. Call once, after the application object; false
// without X11.
bool Install(StillMaking stillMaking, ReadyData readyData = {});
}
