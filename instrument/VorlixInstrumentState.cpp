// The instrument's two persistent forms: the state record and the JSON preset document.
#include "VorlixInstrumentImpl.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstring>

using VorlixParameters::toUnit;

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
// The oscillator mode travels only when it is precise: in the state record as its marker (see
// VorlixInstrumentState.h), in the preset document as "oscillators": "precise". Without it a
// state or document plays classic, as everything saved before the mode existed.
constexpr const char* kOscillatorsKey = "oscillators";
constexpr const char* kPreciseOscillators = "precise";

struct TooDeep
{
};

} // namespace

//--- state record -------------------------------------------------------------------------------

namespace VorlixInstrumentState {

namespace {

void putWord (std::uint8_t* out, std::uint32_t w)
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<std::uint8_t> (w >> (8 * i));
}

std::uint32_t getWord (const std::uint8_t* in)
{
    std::uint32_t w = 0;
    for (int i = 0; i < 4; ++i)
        w |= static_cast<std::uint32_t> (in[i]) << (8 * i);
    return w;
}

} // namespace

Bytes toBytes (const Record& record)
{
    Bytes bytes;
    putWord (bytes.data.data (), static_cast<std::uint32_t> (record.program));
    for (int id = 0; id < kNumParams; ++id)
    {
        std::uint32_t w = 0;
        std::memcpy (&w, &record.values[id], sizeof w);
        putWord (bytes.data.data () + 4 + 4 * id, w);
    }
    bytes.size = kBytes;
    if (record.preciseOscillators)
    {
        putWord (bytes.data.data () + kBytes, kPreciseMarker);
        bytes.size = kMaxBytes;
    }
    return bytes;
}

std::optional<Record> fromBytes (const std::uint8_t* data, std::size_t size)
{
    if (!data || size < 4)
        return std::nullopt;
    Record record;
    record.program = static_cast<std::int32_t> (getWord (data));
    const std::size_t whole = (size - 4) / 4;
    record.count = static_cast<int> (std::min<std::size_t> (whole, kNumParams));
    for (int id = 0; id < record.count; ++id)
    {
        const std::uint32_t w = getWord (data + 4 + 4 * id);
        std::memcpy (&record.values[id], &w, sizeof w);
    }
    record.preciseOscillators = size >= kMaxBytes && getWord (data + kBytes) == kPreciseMarker;
    return record;
}

} // namespace VorlixInstrumentState

VorlixInstrumentState::Record VorlixInstrument::stateRecord () const
{
    VorlixInstrumentState::Record record;
    std::lock_guard<std::mutex> lock (uiMutex); // a consistent snapshot against other UI writers
    record.program = currentProgram.load (std::memory_order_relaxed);
    for (int id = 0; id < kNumParams; ++id)
        record.values[id] = normalizedValues[static_cast<size_t> (id)].load (std::memory_order_relaxed);
    record.count = kNumParams;
    record.preciseOscillators = preciseOscillators ();
    return record;
}

bool VorlixInstrument::restoreState (const VorlixInstrumentState::Record& record)
{
    const int count = std::clamp (record.count, 0, static_cast<int> (kNumParams));
    bool stored[kNumParams] = {};
    for (int id = 0; id < count; ++id)
        stored[id] = true;
    {
        UiUnit unit (*this);
        if (record.program >= 0 && record.program < num_programs)
            loadProgramWith (unit.out (), record.program);
        for (int id = 0; id < count; ++id)
            applyValue (unit.out (), id, toUnit (record.values[id]), ApplyMode::restore, detuneStoredFor (id, stored));
        // A complete record sets the oscillator mode: precise only with the marker after the values.
        if (count == kNumParams)
        {
            precise.store (record.preciseOscillators, std::memory_order_relaxed);
            unit.out ().setPreciseOscillators (record.preciseOscillators);
        }
        // A restore starts the oscillators as a program pick does: the precise generators run
        // ahead of the output and must start from the restored sound, not the one before it.
        unit.out ().resync ();
    }
    // The host is not asked to re-read the values here: it asked for this restore and reads them
    // back afterwards, and a host may hold its own lock around the restore (Ardour 7.3 loading a
    // preset deadlocks when a VST 3 restartComponent arrives from inside setState).
    // A short record (an older, shorter layout included) still applied what it held: an open
    // editor has to show that as well, even though the restore is reported incomplete.
    refreshEditor ();
    return count == kNumParams;
}

//--- preset document ----------------------------------------------------------------------------

std::string VorlixInstrument::exportPresetJson () const
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

bool VorlixInstrument::importPresetJson (const std::string& text)
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
    if (listener)
        listener->valuesReloaded ();
    refreshEditor ();
    return true;
}
