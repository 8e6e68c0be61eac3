// Handing the clipboard to the desktop's clipboard manager before the program ends (X11).
#pragma once

#include <QByteArrayList>

namespace X11ClipboardManager {
// Asks the clipboard manager (the owner of the CLIPBOARD_MANAGER selection) to save these
// formats of the clipboard, through its SAVE_TARGETS conversion, while Qt's events run so that
// this process serves the manager's requests in full, large transfers included. True once the
// manager reports them saved and owns the clipboard itself; false without X11, without a
// manager, on its refusal, or after timeoutMs.
bool SaveClipboard(const QByteArrayList &formats, int timeoutMs = 10000);
}
