// Threads whose work may wait while the window and other programs run.
#include "base/SpareTime.h"

#ifdef __linux__
#include <algorithm>
#include <cerrno>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace SpareTime {

void LowerThisThread()
{
#ifdef __linux__
    // On Linux a thread has a niceness of its own, set through its thread id. It cannot be raised
    // back without privileges: only for threads that end with their work. Ten steps below where it
    // stands, so that a program started at a low priority goes lower still, never higher.
    const id_t thread = id_t(syscall(SYS_gettid));
    errno = 0;
    const int now = getpriority(PRIO_PROCESS, thread);
    if (errno == 0)
        setpriority(PRIO_PROCESS, thread, std::min(now + 10, 19));
#endif
}

}
