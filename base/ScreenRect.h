// A rectangle of the virtual screen, in pixels; the primary monitor's top-left corner is (0, 0).
#pragma once

#include <QRect>
#include <QtGlobal>

struct ScreenRect
{
    qint32 Left = 0;
    qint32 Top = 0;
    qint32 Right = 0;  // Left + Width
    qint32 Bottom = 0; // Top + Height
    qint32 Width = 0;
    qint32 Height = 0;

    static ScreenRect FromLTWH(qint32 left, qint32 top, qint32 width, qint32 height)
    {
        return ScreenRect{left, top, left + width, top + height, width, height};
    }
    static ScreenRect FromQRect(const QRect &r) { return FromLTWH(r.x(), r.y(), r.width(), r.height()); }
    QRect ToQRect() const { return QRect(Left, Top, Width, Height); }
    bool IsZero() const { return !Left && !Top && !Right && !Bottom && !Width && !Height; }

    friend bool operator==(const ScreenRect &a, const ScreenRect &b)
    {
        return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom
            && a.Width == b.Width && a.Height == b.Height;
    }
    friend bool operator!=(const ScreenRect &a, const ScreenRect &b) { return !(a == b); }
};
