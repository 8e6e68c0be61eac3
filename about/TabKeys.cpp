// Ctrl+Tab and Ctrl+Shift+Tab between the pages of a tab bar.
#include "about/TabKeys.h"

namespace TabKeys {

int TabAfterKey(int key, Qt::KeyboardModifiers modifiers, int selected, int count)
{
    if (count <= 0 || (key != Qt::Key_Tab && key != Qt::Key_Backtab))
        return -1;
    Qt::KeyboardModifiers s = modifiers & (Qt::ShiftModifier | Qt::ControlModifier);
    // X11 reports Shift+Tab as Backtab; some senders drop the Shift flag on it.
    if (key == Qt::Key_Backtab)
        s |= Qt::ShiftModifier;
    if (s == Qt::ControlModifier)
        return selected >= count - 1 ? 0 : selected + 1;
    if (s == (Qt::ControlModifier | Qt::ShiftModifier))
        return selected <= 0 ? count - 1 : selected - 1;
    return -1;
}

}
