#include "apps/standalone/StartingSound.h"

#include "VorlixInstrument.h"
#include "VorlixPresetBank.h"
#include "VorlixPrograms.h"
#include "formats/vst3/VorlixVst3PluginIDs.h"
#include "tools/presets/VstPresetFile.h"

#include <charconv>
#include <fstream>
#include <iterator>

namespace Vorlix::App {

int findProgram (const std::string& which)
{
    int index = -1;
    const char* end = which.data () + which.size ();
    if (auto [p, ec] = std::from_chars (which.data (), end, index); ec == std::errc () && p == end)
        return index >= 0 && index < num_programs ? index : -1;
    for (int i = 0; i < num_programs; ++i)
        if (which == VorlixPresetBank::programName (i))
            return i;
    return -1;
}

bool loadPresetFile (VorlixInstrument& instrument, const std::string& path, std::string& error)
{
    std::ifstream in (path, std::ios::binary);
    if (!in)
    {
        error = path + ": cannot be read";
        return false;
    }
    // Preset documents are small; anything this large is not one and is not read whole.
    constexpr std::streamsize kMaxBytes = 4 << 20;
    Presets::Bytes bytes;
    bytes.resize (static_cast<size_t> (kMaxBytes) + 1);
    in.read (reinterpret_cast<char*> (bytes.data ()), kMaxBytes + 1);
    bytes.resize (static_cast<size_t> (in.gcount ()));
    if (bytes.size () > static_cast<size_t> (kMaxBytes))
    {
        error = path + ": too large for a preset";
        return false;
    }
    if (Presets::looksLikeVstPreset (bytes))
    {
        Presets::ParsedPreset preset;
        if (!Presets::readPresetFile (bytes, preset, error))
        {
            error = path + ": " + error;
            return false;
        }
        const auto& id = VorlixVst3PluginIDs::kProcessorUID;
        if (!(preset.classId == Steinberg::FUID (id[0], id[1], id[2], id[3])))
        {
            error = path + ": a preset of another instrument";
            return false;
        }
        const auto record = VorlixInstrumentState::fromBytes (preset.componentState.data (), preset.componentState.size ());
        if (!record)
        {
            error = path + ": the preset holds no sound";
            return false;
        }
        instrument.restoreState (*record);
        return true;
    }
    if (!instrument.importPresetJson (std::string (bytes.begin (), bytes.end ())))
    {
        error = path + ": neither a preset document of this instrument nor a .vstpreset file";
        return false;
    }
    return true;
}

} // namespace Vorlix::App
