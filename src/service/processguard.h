#pragma once

namespace velmor {

// Keeps the process's memory, which holds the SMS account's password, out of
// core files: no core dump on a crash (a core size limit of 0, soft and hard)
// and, on Linux, the process marked as not dumpable, which also keeps other
// programs of the same user from attaching to it or reading its memory.
// Called first thing at start-up. True when every step took effect.
bool DisableCoreDumps();

} // namespace velmor
