// The drag handles by keyboard alone: which key starts a drag, ends it or cancels it.
#include "app/HandleKeys.h"

HandleKeyAction HandleKey(DragHandle handle, bool dragging, int key, Qt::KeyboardModifiers modifiers)
{
    const bool space = key == Qt::Key_Space;
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool escape = key == Qt::Key_Escape;
    if (!dragging) {
        if (handle == DragHandle::Eyedropper)
            return space || enter ? HandleKeyAction::Start : HandleKeyAction::None;
        return space ? HandleKeyAction::Start : HandleKeyAction::None;
    }
    if (handle == DragHandle::Eyedropper)
        return space || enter || escape ? HandleKeyAction::End : HandleKeyAction::None;
    if (enter)
        return (modifiers & Qt::ControlModifier) ? HandleKeyAction::EndWithCtrl : HandleKeyAction::End;
    return escape ? HandleKeyAction::Cancel : HandleKeyAction::None;
}
