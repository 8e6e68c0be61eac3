// Moving the pointer by keyboard while the eyedropper is held.
#include "app/PointerStep.h"

#include <QtCore/qnamespace.h>

#include <algorithm>

QPoint ArrowKeyStep(int key, bool shift)
{
    const int step = shift ? 10 : 1;
    switch (key) {
    case Qt::Key_Left:
        return QPoint(-step, 0);
    case Qt::Key_Right:
        return QPoint(step, 0);
    case Qt::Key_Up:
        return QPoint(0, -step);
    case Qt::Key_Down:
        return QPoint(0, step);
    default:
        return QPoint(0, 0);
    }
}

QPoint StepPointer(QPoint pointer, QPoint step, const QRect &virtualScreen)
{
    if (virtualScreen.isEmpty())
        return pointer + step;
    return QPoint(std::clamp(pointer.x() + step.x(), virtualScreen.left(), virtualScreen.right()),
                  std::clamp(pointer.y() + step.y(), virtualScreen.top(), virtualScreen.bottom()));
}
