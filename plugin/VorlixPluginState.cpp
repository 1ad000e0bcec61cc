// The component's two persistent forms: the host's 148-byte state and the JSON preset document.
#include "VorlixVst3PluginImpl.h"

#include "base/source/fstreamer.h"

#include <nlohmann/json.hpp>

using namespace Steinberg;
using VorlixValues::toUnit;

namespace {

constexpr int kDetuneIds[2] = {kOsc1Detune, kOsc2Detune};

/** Whether the restore supplies the detune that sync switch `id` would otherwise reset. */
bool detuneStoredFor (int id, const bool (&stored)[kNumParams])
{
    return stored[id == kUseOscSync1 ? kDetuneIds[0] : kDetuneIds[1]];
}

// A preset document is about 1.3 kB; these bounds keep a hostile file from costing real memory
// or time, and nothing legitimate comes near them.
constexpr size_t kMaxPresetBytes = 1u << 20;
constexpr int kMaxPresetDepth = 16;

// The name a preset document gives its plug-in.
constexpr const char* kPluginName = "Vorlix307";
// The oscillator mode travels only when it is precise: after the 148 bytes of the state as a
// 32-bit integer 1, and in the preset document as "oscillators": "precise". Without it a state
// or document plays classic, as everything saved before the mode existed.
constexpr int32 kStatePreciseOscillators = 1;
constexpr const char* kOscillatorsKey = "oscillators";
constexpr const char* kPreciseOscillators = "precise";

struct TooDeep
{
};

} // namespace

//--- host state ---------------------------------------------------------------------------------

tresult PLUGIN_API VorlixVst3Plugin::getState (IBStream* state)
{
    if (!state)
        return kInvalidArgument;
    int32 program = 0;
    float values[kNumParams];
    {
        std::lock_guard<std::mutex> lock (uiMutex); // a consistent snapshot against other UI writers
        program = currentProgram.load (std::memory_order_relaxed);
        for (int id = 0; id < kNumParams; ++id)
            values[id] = normalizedValues[static_cast<size_t> (id)].load (std::memory_order_relaxed);
    }
    const bool preciseMode = preciseOscillators ();
    IBStreamer streamer (state, kLittleEndian);
    if (!streamer.writeInt32 (program))
        return kResultFalse;
    for (float v : values)
        if (!streamer.writeFloat (v))
            return kResultFalse;
    if (preciseMode && !streamer.writeInt32 (kStatePreciseOscillators))
        return kResultFalse;
    return kResultOk;
}

tresult PLUGIN_API VorlixVst3Plugin::setState (IBStream* state)
{
    if (!state)
        return kResultFalse;
    IBStreamer streamer (state, kLittleEndian);
    int32 program = 0;
    if (!streamer.readInt32 (program))
        return kResultFalse;
    // Read everything first so that the whole restore reaches the engine as one unit.
    float values[kNumParams];
    int count = 0;
    while (count < kNumParams && streamer.readFloat (values[count]))
        ++count;
    // A complete state sets the oscillator mode: precise only with the marker after the values.
    int32 mode = 0;
    const bool complete = count == kNumParams;
    const bool preciseMode = complete && streamer.readInt32 (mode) && mode == kStatePreciseOscillators;

    bool stored[kNumParams] = {};
    for (int id = 0; id < count; ++id)
        stored[id] = true;
    {
        UiUnit unit (*this);
        if (program >= 0 && program < num_programs)
            loadProgramWith (unit.out (), program);
        for (int id = 0; id < count; ++id)
            applyValue (unit.out (), id, toUnit (values[id]), ApplyMode::restore, detuneStoredFor (id, stored));
        if (complete)
        {
            precise.store (preciseMode, std::memory_order_relaxed);
            unit.out ().setPreciseOscillators (preciseMode);
        }
        // A restore starts the oscillators as a program pick does: the precise generators run
        // ahead of the output and must start from the restored sound, not the one before it.
        unit.out ().resync ();
    }
    // The host is not sent restartComponent here: it asked for this restore and reads the values
    // back afterwards, and a host may hold its own lock around setState (Ardour 7.3 loading a
    // preset deadlocks when restartComponent arrives from inside setState).
    // A short stream (an older, shorter layout included) still applied what it held: an open
    // editor has to show that as well, even though the restore is reported incomplete.
    syncGuiFromHost ();
    return count < kNumParams ? kResultFalse : kResultOk;
}

//--- preset document ----------------------------------------------------------------------------

std::string VorlixVst3Plugin::exportPresetJson () const
{
    nlohmann::json document;
    int program = 0;
    {
        std::lock_guard<std::mutex> lock (uiMutex);
        program = currentProgram.load (std::memory_order_relaxed);
        nlohmann::json params = nlohmann::json::array ();
        for (int id = 0; id < kNumParams; ++id)
            params.push_back (static_cast<double> (normalizedValues[static_cast<size_t> (id)].load (
                std::memory_order_relaxed)));
        document["params"] = std::move (params);
    }
    document["plugin"] = kPluginName;
    document["program"] = program;
    document["programName"] = VorlixPresetBank::programName (program);
    if (preciseOscillators ())
        document[kOscillatorsKey] = kPreciseOscillators;
    return document.dump (2, ' ', false);
}

bool VorlixVst3Plugin::importPresetJson (const std::string& text)
{
    if (text.size () > kMaxPresetBytes)
        return false;
    nlohmann::json document;
    try
    {
        const nlohmann::json::parser_callback_t limitDepth =
            [] (int depth, nlohmann::json::parse_event_t, nlohmann::json&) {
                if (depth > kMaxPresetDepth)
                    throw TooDeep {};
                return true;
            };
        document = nlohmann::json::parse (text, limitDepth);
    }
    catch (...)
    {
        return false;
    }

    // Only an object is a preset document. One that names another plug-in holds that plug-in's
    // values, which mean something else here; a document without the name is still taken.
    if (!document.is_object ())
        return false;
    if (const auto named = document.find ("plugin");
        named != document.end () && !(named->is_string () && named->get_ref<const std::string&> () == kPluginName))
        return false;

    int program = 0;
    float values[kNumParams];
    bool stored[kNumParams] = {};
    int count = 0;
    const auto mode = document.find (kOscillatorsKey);
    const bool preciseMode = mode != document.end () && mode->is_string () && *mode == kPreciseOscillators;
    const auto p = document.find ("program");
    // Clamped in 64 bits, so that a huge number cannot wrap into a valid-looking index.
    if (p != document.end () && p->is_number_unsigned ())
        program = static_cast<int> (std::min<std::uint64_t> (p->get<std::uint64_t> (), num_programs - 1));
    else if (p != document.end () && p->is_number_integer ())
        program = static_cast<int> (std::clamp<std::int64_t> (p->get<std::int64_t> (), 0, num_programs - 1));

    const auto params = document.find ("params");
    if (params != document.end () && params->is_array ())
    {
        count = static_cast<int> (std::min<size_t> (params->size (), kNumParams));
        for (int id = 0; id < count; ++id)
        {
            const nlohmann::json& element = (*params)[static_cast<size_t> (id)];
            if (element.is_number ())
            {
                values[id] = toUnit (element.get<double> ());
                stored[id] = true;
            }
        }
    }
    {
        UiUnit unit (*this);
        loadProgramWith (unit.out (), program);
        for (int id = 0; id < count; ++id)
            if (stored[id])
                applyValue (unit.out (), id, values[id], ApplyMode::restore, detuneStoredFor (id, stored));
        precise.store (preciseMode, std::memory_order_relaxed);
        unit.out ().setPreciseOscillators (preciseMode);
        unit.out ().resync ();
    }
    notifyHostOfNewValues ();
    syncGuiFromHost ();
    return true;
}
