// importPresetJson with arbitrary text: never crashes; a rejected text changes nothing; an
// accepted one leaves valid values, and its export imports back to the same export.
#include "FuzzSupport.h"

#include <cstdint>

using namespace VorlixFuzz;

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    Instance instance;
    VorlixVst3Plugin& p = *instance.plugin;
    p.handleUiControlTag (kPresetListBox, 17.0f);
    const std::string before = p.instrument ().exportPresetJson ();

    const std::string text (reinterpret_cast<const char*> (data), size);
    if (!p.instrument ().importPresetJson (text))
    {
        VORLIX_FUZZ_CHECK (p.instrument ().exportPresetJson () == before);
        return 0;
    }
    checkInvariants (p);
    const std::string exported = p.instrument ().exportPresetJson ();
    VORLIX_FUZZ_CHECK (p.instrument ().importPresetJson (exported));
    VORLIX_FUZZ_CHECK (p.instrument ().exportPresetJson () == exported);
    checkRender (p);
    return 0;
}
