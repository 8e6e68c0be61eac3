// What the first window reads from the desktop, read ahead on a thread of its own.
#pragma once

// The first text of a window waits for the font configuration (about as long as starting the
// application object), then for the list of installed fonts; the first caption set waits for the
// toolkit's accessibility bridge to reach the session bus. Read ahead meanwhile, each is there when
// the window gets to it, and the toolkit takes it as it would have found it itself. The first may
// run before the application object exists, the others after.
namespace ReadAhead {
void FontConfiguration();
void FontList();
void SessionBus();
}
