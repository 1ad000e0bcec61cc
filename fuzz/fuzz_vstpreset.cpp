// The .vstpreset reader with arbitrary files, and loading what it accepts into an instance as a
// host's preset menu does: never crashes, every chunk it reports lies inside the file, a refusal
// says why in one line, and whatever is loaded leaves valid values that still render.
#include "FuzzSupport.h"

#include "formats/vst3/VorlixVst3PluginIDs.h"
#include "tools/presets/VstPresetFile.h"

#include <cstdint>

using namespace VorlixFuzz;
namespace Presets = Vorlix::Presets;

namespace {

bool isOneLine (const std::string& error)
{
    return !error.empty () && error.find ('\n') == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    const Presets::Bytes file (data, data + size);
    Presets::ParsedPreset parsed;
    std::string error;
    const bool readable = Presets::readPresetFile (file, parsed, error);
    if (readable)
    {
        for (const Presets::Chunk& c : parsed.chunks)
        {
            VORLIX_FUZZ_CHECK (c.id.size () == 4);
            VORLIX_FUZZ_CHECK (c.offset >= 0 && c.size >= 0 && c.offset + c.size <= static_cast<std::int64_t> (size));
        }
    }
    else
    {
        VORLIX_FUZZ_CHECK (isOneLine (error));
    }

    Instance instance;
    VorlixVst3Plugin& p = *instance.plugin;
    p.handleUiControlTag (kPresetListBox, 17.0f);
    const std::string before = stateOf (p);

    using namespace VorlixVst3PluginIDs;
    const Steinberg::FUID classId (kProcessorUID[0], kProcessorUID[1], kProcessorUID[2], kProcessorUID[3]);
    error.clear ();
    const bool loaded = Presets::loadPresetFile (file, classId, &p, &p, error);
    if (!readable)
    {
        // Nothing reached the instance: a file the reader refuses cannot change the sound.
        VORLIX_FUZZ_CHECK (!loaded);
        VORLIX_FUZZ_CHECK (stateOf (p) == before);
    }
    if (!loaded)
        VORLIX_FUZZ_CHECK (isOneLine (error));
    checkInvariants (p);
    checkRender (p);
    return 0;
}
