// A window as the position operations of cInifile see it, in twips on the primary screen.
#pragma once

#include <QtGlobal>

class FormWindow
{
public:
    enum State { Normal = 0, Minimised = 1, Maximised = 2 };

    virtual ~FormWindow() = default;

    virtual qint32 WindowState() const = 0;
    // The outer rectangle (frame included) relative to the primary screen's top-left corner.
    virtual double Left() const = 0;
    virtual double Top() const = 0;
    virtual double Width() const = 0;
    virtual double Height() const = 0;
    virtual void Move(qint32 left, qint32 top, qint32 width, qint32 height) = 0;
    virtual void Maximise() = 0;

    // The primary screen.
    virtual double ScreenWidth() const = 0;
    virtual double ScreenHeight() const = 0;
    virtual double TwipsPerPixelX() const = 0;
    virtual double TwipsPerPixelY() const = 0;
};
