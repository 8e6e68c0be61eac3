// Helpers for tests on a private X11 desktop: monitors, a known pattern on the root window,
// waiting for Qt and the window manager, and other programs' windows.
#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QStringList>

#include <functional>

struct xcb_connection_t;
#include <memory>

namespace X11TestDesktop {
// Replaces the RandR monitors with the given ones, each as xrandr --setmonitor takes it, e.g.
// "*A 1280/338x1024/271+0+0 screen" (a leading * marks the primary; one must own "screen").
// Waits until Qt has seen the change.
bool SetMonitors(const QStringList &specs);

// Fills the root window's background with a pattern in which every pixel tells its position.
// Works at depths 8, 16 and 24.
void PaintRootPattern();
int RootDepth();

// Compares a copy with the screen: the pattern from root position rootTopLeft on, black where
// black is expected. An empty text when they agree, else the first difference.
QString CompareWithPattern(const QImage &copy, QPoint rootTopLeft, const std::function<bool(QPoint)> &black = {});

// Processes events until done() holds; false after timeoutMs.
bool WaitFor(const std::function<bool()> &done, int timeoutMs = 5000);

// Root-window property of 32-bit values (e.g. _NET_WORKAREA); an empty list removes it.
void SetRootCardinals(const char *property, const QList<quint32> &values);

// Another program's top-level window: started, and found once it is mapped.
struct ForeignWindow
{
    std::unique_ptr<QProcess> process;
    quint32 window = 0;  // the application window (the one the window manager frames)
    ~ForeignWindow();
};
// xmessage with buttons, at the given root position.
std::unique_ptr<ForeignWindow> StartXMessage(QPoint position, const QString &text);

// A task bar: a dock window on rect (root coordinates) reserving its strip at the screen's
// bottom edge. It goes when the object goes.
struct Panel
{
    xcb_connection_t *connection = nullptr;
    ~Panel();
};
std::unique_ptr<Panel> StartBottomPanel(const QRect &rect);

// Paints a window's area, or rect of it (window coordinates), with one pixel value behind its
// owner's back; window 0 is the root window.
void FillWindow(quint32 window, quint32 pixel, const QRect &rect = QRect(0, 0, 0x7fff, 0x7fff));

// The children of a window, bottom to top, and a window's rectangle in root coordinates.
QList<quint32> ChildWindows(quint32 window);
QRect RootGeometry(quint32 window);
// The root window's child that holds window (with a window manager: its frame).
quint32 TopLevelAncestor(quint32 window);
// The innermost mapped window at a root position (the root itself where there is none).
quint32 InnermostWindowAt(QPoint p);
// The managed windows from bottom to top, as the window manager stacks them.
QList<quint32> ClientStacking();
}
