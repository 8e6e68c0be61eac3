// The drag handles by keyboard alone: which key starts a drag, ends it or cancels it.
#pragma once

#include <Qt>

enum class DragHandle { Eyedropper, Hand };

enum class HandleKeyAction {
    None,
    Start,        // as a press on the handle, at the pointer
    End,          // as the release
    EndWithCtrl,  // as the release with Ctrl held
    Cancel,       // the drag ends without its result
};

// The eyedropper starts and ends with Space or Enter, and ends with Esc as well. The hand starts
// with Space, captures with Enter (Ctrl+Enter as a release with Ctrl) and is cancelled with Esc.
HandleKeyAction HandleKey(DragHandle handle, bool dragging, int key, Qt::KeyboardModifiers modifiers);
