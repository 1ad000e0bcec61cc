// Shared by the fuzzers: a fresh, initialized component per input and a hard stop on any broken
// invariant (libFuzzer records the input that caused it).
#pragma once

#include "VorlixVst3Plugin.h"

#include "public.sdk/source/common/memorystream.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace VorlixFuzz {

#define VORLIX_FUZZ_CHECK(cond)                                                       \
    do                                                                                \
    {                                                                                 \
        if (!(cond))                                                                  \
        {                                                                             \
            std::fprintf (stderr, "invariant failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort ();                                                            \
        }                                                                             \
    } while (0)

struct Instance
{
    VorlixVst3Plugin* plugin = new VorlixVst3Plugin ();
    Instance () { VORLIX_FUZZ_CHECK (plugin->initialize (nullptr) == Steinberg::kResultOk); }
    ~Instance ()
    {
        plugin->terminate ();
        plugin->release ();
    }
};

/** Every value in 0..1 and a valid program index: what any input must leave behind. */
inline void checkInvariants (VorlixVst3Plugin& p)
{
    VORLIX_FUZZ_CHECK (p.instrument ().currentProgramIndex () >= 0 && p.instrument ().currentProgramIndex () < 61);
    for (int id = 0; id < 36; ++id)
    {
        const float v = p.instrument ().normalizedParam (id);
        VORLIX_FUZZ_CHECK (v >= 0.0f && v <= 1.0f);
    }
}

inline std::string stateOf (VorlixVst3Plugin& p)
{
    Steinberg::MemoryStream stream;
    VORLIX_FUZZ_CHECK (p.getState (&stream) == Steinberg::kResultOk);
    // The classic record, or that and the precise oscillators' marker.
    VORLIX_FUZZ_CHECK (stream.getSize () == 148 || stream.getSize () == 152);
    return std::string (stream.getData (), static_cast<size_t> (stream.getSize ()));
}

/** A short render must stay finite whatever the input did. */
inline void checkRender (VorlixVst3Plugin& p)
{
    float left[64], right[64];
    p.setActive (true);
    {
        VorlixInstrument::AudioBlock block (p.instrument ());
        block.noteOn (60, 1.0);
        block.render (left, right, 64);
    }
    for (int i = 0; i < 64; ++i)
        VORLIX_FUZZ_CHECK (std::isfinite (left[i]) && std::isfinite (right[i]));
    p.setActive (false);
}

} // namespace VorlixFuzz
