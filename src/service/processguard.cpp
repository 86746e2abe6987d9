#include "service/processguard.h"

#include <sys/resource.h>
#if defined(__linux__)
#include <sys/prctl.h>
#endif

namespace velmor {

bool DisableCoreDumps()
{
    bool ok = true;
    // Hard limit too, so that nothing started later lifts it again.
    const rlimit none{0, 0};
    if (setrlimit(RLIMIT_CORE, &none) != 0)
        ok = false;
#if defined(__linux__)
    // A core pattern that pipes to a handler (systemd-coredump, apport) need
    // not heed the size limit; a process that is not dumpable gets no core at all.
    if (prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) != 0)
        ok = false;
#endif
    return ok;
}

} // namespace velmor
