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
        if (ServesPicture(*spare))
            return;
        // The manager took the clipboard but not the whole picture (one that is too large for it):
        // offer it again.
        clipboard->setMimeData(spare.release());
    }
    if (!clipboard->ownsClipboard())
        return;
    QEventLoop serving;
    QObject::connect(clipboard, &QClipboard::changed, &serving, [&](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard && !clipboard->ownsClipboard())
            serving.quit();
    });
    QTimer::singleShot(longestMs, &serving, &QEventLoop::quit);
    serving.exec();
}

}
