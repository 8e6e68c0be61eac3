// Design geometry in twips, at the 15 twips per pixel the layouts assume.
#pragma once

#include "base/Rounding.h"

#include <QRect>

inline constexpr int TwipsPerPixel = 15;

inline int TwipsToPixels(double twips)
{
    return RoundHalfEven(twips / TwipsPerPixel);
}

// Left, Top, Width, Height in twips to a pixel rectangle.
inline QRect TwipsRect(int left, int top, int width, int height)
{
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}
