// The scaled map of the monitors in the monitor dialog: geometry in twips, captions, pixels.
#pragma once

#include "base/LocalText.h"
#include "platform/Platform.h"

#include <QList>
#include <QRect>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>

namespace MonitorMapLayout {

struct TwipRect
{
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
};

// The dialog as designed: the virtual-screen box is the largest area the map may take.
inline constexpr TwipRect DesignClientArea{0, 0, 6390, 4185};
inline constexpr TwipRect DesignDesktop{120, 120, 6135, 3975};
inline constexpr TwipRect DesignMonitor{1320, 960, 1815, 1455};

struct MonitorEntry
{
    MonitorHandle Handle = 0;
    ScreenRect Rect;
};

struct MonitorBox
{
    MonitorHandle Handle = 0;
    TwipRect Geometry;
    QString Caption;
};

struct MonitorMap
{
    TwipRect Desktop;
    QString DesktopCaption;
    double ClientWidth = 0;
    double ClientHeight = 0;
    QList<MonitorBox> Boxes; // in the order of the monitor list, numbered from 1
};

// The monitor dialog's caption, and the captions of the map: the virtual screen's size (%1 x %2),
// and a monitor's number and size (%1: %2 x %3).
inline constexpr LocalText DialogCaptionText{"frmMonitor", "Caption", "Monitorauswahl"};
inline constexpr LocalText VirtualScreenText{"frmMonitor", "strVirtualScreen", "VirtualScreen: %1 x %2"};
inline constexpr LocalText MonitorText{"frmMonitor", "strMonitor", "Monitor %1: %2 x %3"};
QList<LocalText> Texts();

// Fits the virtual screen into the design box less a 300-twip margin, keeping its aspect ratio,
// and places one box per monitor at its scaled position, inset by 50 twips on every side.
// A virtual screen without extent leaves the boxes at their design geometry.
MonitorMap LayOut(const ScreenRect &virtualScreen, const QList<MonitorEntry> &monitors);

// How a monitor's caption is shown in its box: the font size and the text, with a line break
// where the caption is split.
struct CaptionFit
{
    double PointSize = 0;
    QString Text;
};

// The size in pixels that lines of text take at a point size, as the box lays them out.
using TextMeasure = std::function<QSizeF(const QStringList &lines, double pointSize)>;

// The caption on one line, in the largest size from designSize down to minimumSize (half-point
// steps) at which it fits room; failing that, split after its ": " ("Monitor 3:" over
// "640 x 480") the same way; failing that too, split at the minimum size.
CaptionFit FitCaption(const QString &caption, QSizeF room, double designSize, double minimumSize,
                      const TextMeasure &measure);

// Twips to whole pixels, halves to the even neighbour; each edge and size converted on its own.
int ToPixels(double twips);
QRect ToPixels(const TwipRect &r);

}
