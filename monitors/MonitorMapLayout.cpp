// The scaled map of the monitors in the monitor dialog: geometry in twips, captions, pixels.
#include "monitors/MonitorMapLayout.h"

#include "base/Twips.h"

#include <algorithm>
#include <cmath>

namespace MonitorMapLayout {

namespace {
constexpr double Margin = 300; // between the virtual-screen box and the map inside it
constexpr double Inset = 50;   // around each monitor box, so neighbours show a gap
}

QList<LocalText> Texts()
{
    return {DialogCaptionText, VirtualScreenText, MonitorText};
}

MonitorMap LayOut(const ScreenRect &virtualScreen, const QList<MonitorEntry> &monitors)
{
    MonitorMap map;
    map.Desktop = DesignDesktop;

    const double w = double(virtualScreen.Right) - virtualScreen.Left;
    const double h = double(virtualScreen.Bottom) - virtualScreen.Top;

    // Pixels per twip: the larger factor decides, so the map fits both ways.
    const double scaleX = w / (DesignDesktop.Width - 2 * Margin);
    const double scaleY = h / (DesignDesktop.Height - 2 * Margin);
    const double scale = scaleX > scaleY ? scaleX : scaleY;
    const bool scaled = std::isfinite(scale) && scale > 0;

    if (scaled) {
        map.Desktop.Width = w / scale + 2 * Margin;
        map.Desktop.Height = h / scale + 2 * Margin;
    }
    map.DesktopCaption = Localised(VirtualScreenText).arg(qint64(w)).arg(qint64(h));

    map.ClientWidth = 2 * map.Desktop.Left + map.Desktop.Width;
    map.ClientHeight = 2 * map.Desktop.Top + map.Desktop.Height;

    int n = 0;
    for (const MonitorEntry &monitor : monitors) {
        MonitorBox box;
        box.Handle = monitor.Handle;
        box.Geometry = DesignMonitor;
        if (scaled) {
            const ScreenRect &r = monitor.Rect;
            box.Geometry.Left = map.Desktop.Left + Margin + (double(r.Left) - virtualScreen.Left) / scale + Inset;
            box.Geometry.Top = map.Desktop.Top + Margin + (double(r.Top) - virtualScreen.Top) / scale + Inset;
            // A monitor too small for the inset at this scale gets an empty box, not a negative one.
            box.Geometry.Width = std::max(0.0, r.Width / scale - 2 * Inset);
            box.Geometry.Height = std::max(0.0, r.Height / scale - 2 * Inset);
        }
        box.Caption = Localised(MonitorText).arg(n + 1).arg(monitor.Rect.Width).arg(monitor.Rect.Height);
        map.Boxes.append(box);
        ++n;
    }
    return map;
}

CaptionFit FitCaption(const QString &caption, QSizeF room, double designSize, double minimumSize,
                      const TextMeasure &measure)
{
    const QString separator = QStringLiteral(": ");
    const int split = caption.indexOf(separator);
    QList<QStringList> layouts{{caption}};
    if (split > 0)
        layouts.append({caption.left(split + 1), caption.mid(split + separator.size())});
    for (const QStringList &lines : layouts) {
        for (double size = designSize; size >= minimumSize; size -= 0.5) {
            const QSizeF needed = measure(lines, size);
            if (needed.width() <= room.width() && needed.height() <= room.height())
                return {size, lines.join(QLatin1Char('\n'))};
        }
    }
    // Too small a box for any of them: the smallest legible form, and the tool tip says it all.
    return {minimumSize, layouts.last().join(QLatin1Char('\n'))};
}

int ToPixels(double twips)
{
    return TwipsToPixels(twips);
}

QRect ToPixels(const TwipRect &r)
{
    return QRect(ToPixels(r.Left), ToPixels(r.Top), ToPixels(r.Width), ToPixels(r.Height));
}

}
