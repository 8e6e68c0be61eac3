// Threads whose work may wait while the window and other programs run.
#pragma once

namespace SpareTime {
// From now on the calling thread (only it, not the rest of the process) runs at a lower priority:
// it takes a core that is otherwise idle as fully as before, but gives way at once where the
// window, another thread at the normal priority or another program wants it.
void LowerThisThread();
}
