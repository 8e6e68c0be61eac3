// Ctrl+Tab and Ctrl+Shift+Tab between the pages of a tab bar.
#pragma once

#include <Qt>

namespace TabKeys {
// The tab to select after key with modifiers while tab `selected` (0-based) of `count` is
// selected, or -1 when the key selects nothing. Ctrl+Tab moves on and wraps from the last
// tab to the first; Ctrl+Shift+Tab moves back and wraps from the first to the last. Alt does
// not matter; Backtab counts as Tab with Shift.
int TabAfterKey(int key, Qt::KeyboardModifiers modifiers, int selected, int count);
}
