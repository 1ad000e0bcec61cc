// setState with arbitrary byte streams: never crashes, always leaves valid values, and a complete
// record of valid values comes back byte for byte from getState.
#include "FuzzSupport.h"

#include <cstdint>
#include <cstring>

using namespace VorlixFuzz;

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    Instance instance;
    VorlixVst3Plugin& p = *instance.plugin;
    Steinberg::MemoryStream stream (const_cast<std::uint8_t*> (data), static_cast<Steinberg::TSize> (size));
    const Steinberg::tresult result = p.setState (&stream);
    VORLIX_FUZZ_CHECK ((result == Steinberg::kResultOk) == (size >= 148));
    checkInvariants (p);
    const std::string saved = stateOf (p);

    if (size >= 148)
    {
        std::int32_t program;
        std::memcpy (&program, data, 4);
        bool canonical = program >= 0 && program < 61;
        for (int i = 0; i < 36 && canonical; ++i)
        {
            float v;
            std::memcpy (&v, data + 4 + 4 * i, 4);
            canonical = v >= 0.0f && v <= 1.0f && !std::signbit (v);
        }
        if (canonical)
            VORLIX_FUZZ_CHECK (std::memcmp (saved.data (), data, 148) == 0);
        // The mode follows the marker after the values: precise with a 1 there, classic otherwise.
        std::int32_t marker = 0;
        if (size >= 152)
            std::memcpy (&marker, data + 148, 4);
        VORLIX_FUZZ_CHECK (saved.size () == (marker == 1 ? 152u : 148u));
    }
    // Saving what was restored and restoring it again is a fixed point.
    Steinberg::MemoryStream again (const_cast<char*> (saved.data ()), static_cast<Steinberg::TSize> (saved.size ()));
    VORLIX_FUZZ_CHECK (p.setState (&again) == Steinberg::kResultOk);
    VORLIX_FUZZ_CHECK (stateOf (p) == saved);
    checkRender (p);
    return 0;
}
