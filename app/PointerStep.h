// Moving the pointer by keyboard while the eyedropper is held, to land on an exact pixel.
#pragma once

#include <QPoint>
#include <QRect>

// Pointer moves of the arrow keys while the eyedropper is held: one pixel, ten with Shift; a
// zero step for any other key.
QPoint ArrowKeyStep(int key, bool shift);
// The pointer moved by step, kept inside the bounds of the virtual screen.
QPoint StepPointer(QPoint pointer, QPoint step, const QRect &virtualScreen);
