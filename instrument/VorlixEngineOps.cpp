// Engine operations beyond setParam, written against the engine's voice bank and voices.
#include "VorlixEngineOps.h"

#include "VorlixPresetBank.h"

namespace VorlixEngineOps {

namespace {
// Pitch to control voltage in octaves: 1/12 in single precision.
constexpr float kOctavesPerSemitone = 0.083333336f;
// Room for every built-in name, so that assigning one never allocates on the audio thread.
constexpr std::size_t kProgramNameCapacity = 64;
} // namespace

void releaseAll (VorlixGenPolyphonic& engine)
{
    engine.voiceBank.ReleaseAll (true);
}

void resyncAllOscillators (VorlixGenPolyphonic& engine)
{
    for (std::size_t v = 0; v < engine.voiceBank.voices.size (); ++v)
        for (auto& copy : engine.voiceBank.voices[v].osc)
            copy.resyncVoices ();
}

void reserveProgramName (VorlixGenPolyphonic& engine)
{
    engine.programName.reserve (kProgramNameCapacity);
}

void setProgramName (VorlixGenPolyphonic& engine, int program)
{
    const char* name = VorlixPresetBank::programName (program);
    // Cut to the reserved room: a longer name would make assign () allocate.
    std::size_t length = 0;
    while (name[length] && length < kProgramNameCapacity)
        ++length;
    engine.programName.assign (name, length);
}

int activeVoiceCount (const VorlixGenPolyphonic& engine)
{
    return const_cast<VorlixGenPolyphonic&> (engine).activeVoiceCount ();
}

void noteOn (VorlixGenPolyphonic& engine, int pitch, float velocity)
{
    engine.voiceBank.Add (true, static_cast<float> (pitch) * kOctavesPerSemitone, velocity, 0, 0);
}

void noteOff (VorlixGenPolyphonic& engine, int pitch)
{
    engine.voiceBank.Release (static_cast<float> (pitch) * kOctavesPerSemitone, 0);
}

} // namespace VorlixEngineOps
