// Entry and exit points that a host calls right after loading the module and before unloading it:
// ModuleEntry/ModuleExit on Linux (around dlopen/dlclose), InitDll/ExitDll on Windows.
// The module needs no set-up of its own, so they only keep count: any number of balanced
// entry/exit pairs is fine, and an exit without entry is refused.
#include "pluginterfaces/base/fplatform.h"

#include <atomic>

namespace {
std::atomic<int> moduleEntryCount {0};

bool enterModule ()
{
    moduleEntryCount.fetch_add (1, std::memory_order_acq_rel);
    return true;
}

bool exitModule ()
{
    int count = moduleEntryCount.load (std::memory_order_acquire);
    while (count > 0)
        if (moduleEntryCount.compare_exchange_weak (count, count - 1, std::memory_order_acq_rel))
            return true;
    return false;
}
} // namespace

extern "C" {

#if SMTG_OS_WINDOWS
SMTG_EXPORT_SYMBOL bool PLUGIN_API InitDll () { return enterModule (); }
SMTG_EXPORT_SYMBOL bool PLUGIN_API ExitDll () { return exitModule (); }
#else
SMTG_EXPORT_SYMBOL bool ModuleEntry (void* /*sharedLibraryHandle*/) { return enterModule (); }
SMTG_EXPORT_SYMBOL bool ModuleExit () { return exitModule (); }
#endif

} // extern "C"
