// The interface id of the component's private extension, defined once in the program that uses
// it (the plug-in module defines its own copy).
#include "formats/vst3/IVorlixPresetAccess.h"

namespace Vorlix {
DEF_CLASS_IID (IVorlixPresetAccess)
}
