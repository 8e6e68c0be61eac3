// Threads whose work may wait while the window and other programs run.
#include "base/SpareTime.h"

#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace SpareTime {

void LowerThisThread()
{
#ifdef __linux__
    // On Linux a thread has a niceness of its own, set through its thread id. It cannot be raised
    // back without privileges: only for threads that end with their work.
    setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), 10);
#endif
}

}
