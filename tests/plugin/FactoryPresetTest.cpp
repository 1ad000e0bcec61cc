// The factory presets the build writes (one .vstpreset per program) and presets a host saves in
// the same container: their structure, what they restore, and files that are not what they claim.
#include "PluginTestSupport.h"

#include "VorlixParamID.h"
#include "VorlixPrograms.h"
#include "VorlixVst3PluginIDs.h"
#include "tests/tools/RunCommand.h"
#include "tools/presets/VstPresetFile.h"

#include "public.sdk/source/vst/vstpresetfile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

using namespace Steinberg;
using namespace VorlixTest;
namespace fs = std::filesystem;
using Vorlix::Presets::ParsedPreset;

namespace {

const fs::path kPresetRoot = VORLIX_PRESETS_DIR;
const fs::path kFolder = kPresetRoot / "Vorlix Instruments" / "Vorlix307";

FUID classId ()
{
    return FUID (VorlixVst3PluginIDs::kProcessorUID[0], VorlixVst3PluginIDs::kProcessorUID[1],
                 VorlixVst3PluginIDs::kProcessorUID[2], VorlixVst3PluginIDs::kProcessorUID[3]);
}

Bytes readFile (const fs::path& path)
{
    std::ifstream in (path, std::ios::binary);
    return Bytes ((std::istreambuf_iterator<char> (in)), std::istreambuf_iterator<char> ());
}

std::vector<std::string> chunkIds (const ParsedPreset& p)
{
    std::vector<std::string> ids;
    for (const auto& c : p.chunks)
        ids.push_back (c.id);
    return ids;
}

std::vector<float> values (const VorlixVst3Plugin& p)
{
    std::vector<float> v;
    for (int id = 0; id < kNumParams; ++id)
        v.push_back (p.instrument ().normalizedParam (id));
    return v;
}

bool contains (const std::string& text, const std::string& part)
{
    return text.find (part) != std::string::npos;
}

} // namespace

TEST (FactoryPresets, OneFilePerProgramWhoseStateIsThePickedProgram)
{
    std::set<std::string> files;
    for (const auto& entry : fs::directory_iterator (kFolder))
        files.insert (entry.path ().filename ().string ());
    std::set<std::string> expected;
    for (int p = 0; p < num_programs; ++p)
        expected.insert (std::string (programnames[p]) + ".vstpreset");
    EXPECT_EQ (files, expected);

    for (int p = 0; p < num_programs; ++p)
    {
        const std::string name = programnames[p];
        SCOPED_TRACE (name);
        const Bytes file = readFile (kFolder / (name + ".vstpreset"));
        ParsedPreset preset;
        std::string error;
        ASSERT_TRUE (Vorlix::Presets::readPresetFile (file, preset, error)) << error;
        EXPECT_EQ (preset.classId, classId ());
        EXPECT_EQ (chunkIds (preset), (std::vector<std::string> {"Comp", "Info"}));
        EXPECT_EQ (preset.chunks[0].offset, 48); // right after the header

        // The state is exactly what getState gives right after the program is picked.
        Linked picked = makeStarted ();
        picked.plugin->handleUiControlTag (kPresetListBox, static_cast<float> (p));
        EXPECT_EQ (preset.componentState, getStateBytes (picked.host->component ()));
        EXPECT_EQ (preset.componentState.size (), 152u); // the sound and the precise marker of a new instance

        const size_t dash = name.find ('-');
        const std::string category = dash == std::string::npos ? "init" : name.substr (0, dash);
        for (const std::string& attr : {"id=\"Name\" value=\"" + name + "\"", std::string ("id=\"PlugInName\" value=\"Vorlix307\""),
                                       "id=\"MusicalInstrument\" value=\"" + category + "\""})
            EXPECT_TRUE (contains (preset.metaXml, attr)) << attr << "\n" << preset.metaXml;

        // Loading the file as a host does plays what the pick plays.
        Linked loaded = makeStarted ();
        ASSERT_TRUE (Vorlix::Presets::loadPresetFile (file, classId (), loaded.host->component (), loaded.controller (), error))
            << error;
        EXPECT_EQ (loaded.plugin->instrument ().currentProgramIndex (), p);
        EXPECT_EQ (playPhrase (loaded, 30), playPhrase (picked, 30));
    }
}

TEST (FactoryPresets, RegenerationGivesTheSameBytesAndDropsStaleFiles)
{
    const fs::path out = fs::temp_directory_path () / ("vorlix-presets-" + std::to_string (::getpid ()));
    fs::remove_all (out);
    const fs::path folder = out / "Vorlix Instruments" / "Vorlix307";
    fs::create_directories (folder);
    std::ofstream (folder / "renamed-long-ago.vstpreset") << "old";
    std::ofstream (folder / "notes.txt") << "kept";

    const CommandResult r = runCommand (VORLIX_PRESETS_TOOL, {"--plugin", VORLIX_BUNDLE_DIR, "--out", out.string ()});
    ASSERT_EQ (r.exitCode, 0) << r.err;
    EXPECT_FALSE (fs::exists (folder / "renamed-long-ago.vstpreset"));
    EXPECT_TRUE (fs::exists (folder / "notes.txt"));
    int compared = 0;
    for (const auto& entry : fs::directory_iterator (kFolder))
    {
        EXPECT_EQ (readFile (folder / entry.path ().filename ()), readFile (entry.path ())) << entry.path ();
        ++compared;
    }
    EXPECT_EQ (compared, num_programs);
    fs::remove_all (out);
}

TEST (HostPresets, APresetSavedByAHostLoadsBackIdentically)
{
    // An edited sound: program 17, a knob, the level, and sync on with a detune set afterwards.
    Linked original = makeStarted ();
    original.plugin->handleUiControlTag (kPresetListBox, 17.0f);
    original.plugin->handleUiControlTag (kFilt1Cutoff, 0.33f);
    original.plugin->handleUiControlTag (kOutputLevel, 0.45f);
    original.plugin->handleUiControlTag (kUseOscSync1, 1.0f);
    original.controller ()->setParamNormalized (kOsc1Detune, 0.27);

    // Saved as hosts save: component state and the controller's state in the container.
    Vorlix::Host::HostMemoryStream stream;
    ASSERT_TRUE (Vst::PresetFile::savePreset (&stream, classId (), original.host->component (), original.controller ()));
    const auto* data = reinterpret_cast<const std::uint8_t*> (stream.getData ());
    const Bytes file (data, data + stream.getSize ());

    Linked reloaded = makeStarted ();
    std::string error;
    ASSERT_TRUE (Vorlix::Presets::loadPresetFile (file, classId (), reloaded.host->component (), reloaded.controller (), error))
        << error;
    EXPECT_EQ (reloaded.plugin->instrument ().currentProgramIndex (), 17);
    EXPECT_EQ (values (*reloaded.plugin), values (*original.plugin));
    EXPECT_EQ (getStateBytes (reloaded.host->component ()), getStateBytes (original.host->component ()));
    EXPECT_EQ (playPhrase (reloaded), playPhrase (original));
}

TEST (HostPresets, FilesThatAreNotWhatTheyClaimChangeNothing)
{
    Bytes good;
    {
        Linked source = makeLinked ();
        source.plugin->handleUiControlTag (kPresetListBox, 12.0f);
        ASSERT_TRUE (Vorlix::Presets::writePresetFile (classId (), getStateBytes (source.host->component ()),
                                                       Vorlix::Presets::metaInfoXml ({"x", "Vorlix307", "", "bass"}), good));
    }
    const size_t list = good.size () - 8 - 2 * 20; // "List", count, two entries
    auto with = [&good] (size_t at, std::vector<std::uint8_t> bytes) {
        Bytes b = good;
        std::copy (bytes.begin (), bytes.end (), b.begin () + static_cast<long> (at));
        return b;
    };
    auto int64At = [&good] (size_t at, std::int64_t v) {
        Bytes b = good;
        for (int i = 0; i < 8; ++i)
            b[at + static_cast<size_t> (i)] = static_cast<std::uint8_t> (static_cast<std::uint64_t> (v) >> (8 * i));
        return b;
    };
    Bytes otherClass = good;
    otherClass[8] = otherClass[8] == '0' ? '1' : '0';
    Bytes shortState;
    ASSERT_TRUE (Vorlix::Presets::writePresetFile (classId (), {1, 0, 0}, "", shortState));
    Bytes noComp = with (list + 8, {'X', 'y', 'z', 'w'});
    // A well-formed file whose state is cut short: the component takes part of it and refuses.
    Bytes partialState;
    const Bytes goodState = [&] {
        Linked source = makeLinked ();
        source.plugin->handleUiControlTag (kPresetListBox, 12.0f);
        source.plugin->handleUiControlTag (kFilt1Cutoff, 0.2f);
        return getStateBytes (source.host->component ());
    }();
    ASSERT_TRUE (Vorlix::Presets::writePresetFile (classId (), Bytes (goodState.begin (), goodState.begin () + 100), "",
                                                   partialState));

    const struct
    {
        const char* name;
        Bytes file;
        const char* error;
    } cases[] = {
        {"empty", {}, "not a VST 3 preset"},
        {"header only", Bytes (good.begin (), good.begin () + 48), "chunk list"},
        {"JSON", Bytes {'{', '}'}, "not a VST 3 preset"},
        {"list offset past the end", int64At (40, 1 << 20), "chunk list"},
        {"list offset negative", int64At (40, -5), "chunk list"},
        {"chunk offset negative", int64At (list + 12, -48), "outside the file"},
        {"chunk size past the end", int64At (list + 20, 1 << 20), "outside the file"},
        {"chunk size huge", int64At (list + 20, INT64_MAX), "outside the file"},
        {"class ID not hex", with (8, {'z', 'z'}), "class ID"},
        {"another plug-in", otherClass, "another plug-in"},
        {"no component state", noComp, "no component state"},
        {"state too short", shortState, "did not accept"},
        {"state cut short", partialState, "did not accept"},
        // Damage that keeps every chunk inside the file.
        {"chunk size shortened", int64At (list + 20, 100), "overlap, leave gaps"},
        {"chunk size grown", int64At (list + 20, 156), "overlap, leave gaps"},
        {"chunk offset moved", int64At (list + 12, 52), "overlap, leave gaps"},
        {"both chunks at one offset", int64At (list + 32, 48), "overlap, leave gaps"},
        {"second chunk named like the first", with (list + 28, {'C', 'o', 'm', 'p'}), "overlap, leave gaps"},
        {"list offset moved back", int64At (40, static_cast<std::int64_t> (list) - 4), "chunk list"},
        {"entry count too high", with (list + 4, {3}), "chunk list"},
    };
    for (const auto& c : cases)
    {
        Linked l = makeLinked ();
        l.plugin->handleUiControlTag (kPresetListBox, 7.0f);
        const Bytes before = getStateBytes (l.host->component ());
        std::string error;
        EXPECT_FALSE (Vorlix::Presets::loadPresetFile (c.file, classId (), l.host->component (), l.controller (), error)) << c.name;
        EXPECT_TRUE (contains (error, c.error)) << c.name << ": " << error;
        EXPECT_EQ (getStateBytes (l.host->component ()), before) << c.name;
    }
}
