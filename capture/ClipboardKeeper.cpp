// A capture on the clipboard outlives the main window.
#include "capture/ClipboardKeeper.h"

#include "capture/ClipboardPicture.h"

#include <QClipboard>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

namespace ClipboardKeeper {

namespace {
// What the manager serves now is the capture: the same bytes, or (re-encoded) the same pixels.
bool ServesPicture(const ClipboardPicture &ours)
{
    const QMimeData *now = QGuiApplication::clipboard()->mimeData();
    if (!now)
        return false;
    const QByteArray png = now->data(QStringLiteral("image/png"));
    if (png == ours.Encoded(QStringLiteral("image/png")))
        return true;
    const QImage picture = ours.Picture().convertToFormat(QImage::Format_RGB32);
    return QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32) == picture;
}

// How long the manager's taking of the clipboard may take to reach Qt.
constexpr int HearingMs = 2000;

// Runs the events until another program owns the clipboard, as far as Qt has heard, or ms have
// passed; whether it does.
bool UntilAnotherOwns(int ms)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard->ownsClipboard()) {
        QEventLoop waiting;
        QObject::connect(clipboard, &QClipboard::changed, &waiting, [&](QClipboard::Mode mode) {
            if (mode == QClipboard::Clipboard && !clipboard->ownsClipboard())
                waiting.quit();
        });
        QTimer::singleShot(ms, &waiting, &QEventLoop::quit);
        waiting.exec();
    }
    return !clipboard->ownsClipboard();
}
}

void KeepAfterLastWindow(const ManagerSave &save, int longestMs)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    const auto *offered = dynamic_cast<const ClipboardPicture *>(clipboard->mimeData());
    if (!offered || !clipboard->ownsClipboard())
        return;
    std::unique_ptr<ClipboardPicture> spare = offered->Copy();
    // The window is gone by now: what the hand-over costs, the user does not wait for.
    if (save && save({QByteArrayLiteral("image/png"), QByteArrayLiteral("image/bmp")})) {
        // Until Qt has heard of the manager's ownership, it would answer for the manager with
        // the capture itself, and it could not take the clipboard back: its last known time
        // would be older than the manager's.
        if (UntilAnotherOwns(HearingMs) && ServesPicture(*spare))
            return;
        // The manager took the clipboard but not the whole picture (one that is too large for it):
        // offer it again.
        clipboard->setMimeData(spare.release());
    }
    UntilAnotherOwns(longestMs);
}

}
