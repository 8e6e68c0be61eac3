// sway's own interface for programs (the socket named by SWAYSOCK): its windows and commands.
#pragma once

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace SwayIpc {

// A window as sway shows it, in layout coordinates.
struct View
{
    qint64 id = 0;       // sway's container id
    quint32 xWindow = 0; // the X window of an Xwayland client; 0 for a Wayland one
    qint64 pid = 0;
    QRect frame;         // title bar and border included
    QRect content;       // the window's own surface
    bool focused = false;
    bool floating = false;
};

// The visible windows, bottom to top: the tiled ones, then the floating ones in their stacking
// order, then any fullscreen one. Read from a get_tree reply; none from text that is no tree.
QList<View> ViewsFromTree(const QByteArray &json);

// sway's windows now; nullopt where there is no sway to ask.
std::optional<QList<View>> Views();
// Runs a sway command (e.g. "[con_id=7] focus"); true when sway carried it out.
bool Command(const QString &command);
// Whether sway's socket answers.
bool Available();

// The window on top at p (layout coordinates); nullptr where none is.
const View *ViewAt(const QList<View> &views, QPoint p);

}
