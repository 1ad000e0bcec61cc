// Interface IDs of pluginterfaces/gui/iplugview.h. The SDK defines them in source files that
// Debian's copy does not ship, yet its EditController and CPluginView refer to them.
#include "pluginterfaces/gui/iplugview.h"

namespace Steinberg {
DEF_CLASS_IID (IPlugView)
DEF_CLASS_IID (IPlugFrame)
#if SMTG_OS_LINUX
namespace Linux {
DEF_CLASS_IID (IEventHandler)
DEF_CLASS_IID (ITimerHandler)
DEF_CLASS_IID (IRunLoop)
}
#endif
}
