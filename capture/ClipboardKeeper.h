// A capture on the clipboard outlives the main window.
#pragma once

#include <QByteArrayList>

#include <functional>

namespace ClipboardKeeper {
// Asks the desktop's clipboard manager to save these formats of the clipboard, while this
// process serves them; true once the manager has them and owns the clipboard.
using ManagerSave = std::function<bool(const QByteArrayList &formats)>;

constexpr int LongestServingMs = 8 * 60 * 60 * 1000;

// Call once the main window has closed, with the event loop no longer running. Where this
// process owns the clipboard with a capture, it hands the capture to a clipboard manager that
// then really serves it; else it keeps serving the capture itself, without any window, until
// another program takes the clipboard or longestMs have passed. Returns when the program may end.
void KeepAfterLastWindow(const ManagerSave &save, int longestMs = LongestServingMs);
}
