// Entry and exit points that a Linux VST 3 host calls right after dlopen and before dlclose.
// The module needs no set-up of its own, so they only keep count: any number of balanced
// entry/exit pairs is fine, and an exit without entry is refused.
#include "pluginterfaces/base/fplatform.h"

#include <atomic>

namespace {
std::atomic<int> moduleEntryCount {0};
}

extern "C" {

SMTG_EXPORT_SYMBOL bool ModuleEntry (void* /*sharedLibraryHandle*/)
{
    moduleEntryCount.fetch_add (1, std::memory_order_acq_rel);
    return true;
}

SMTG_EXPORT_SYMBOL bool ModuleExit ()
{
    int count = moduleEntryCount.load (std::memory_order_acquire);
    while (count > 0)
        if (moduleEntryCount.compare_exchange_weak (count, count - 1, std::memory_order_acq_rel))
            return true;
    return false;
}

} // extern "C"
