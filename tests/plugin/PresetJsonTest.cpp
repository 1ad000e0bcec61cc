// The JSON preset document: exact export text and every import shape.
#include "PluginTestSupport.h"

#include "VorlixParamID.h"
#include "VorlixPrograms.h"

#include <nlohmann/json.hpp>

using namespace Steinberg;
using namespace VorlixTest;

namespace {

std::string exportedAfterInitialize ()
{
    // A new instance plays the precise oscillators; the key sorts first.
    std::string s = "{\n  \"oscillators\": \"precise\",\n  \"params\": [\n";
    const char* values[36] = {"0.0", "0.5", "0.0", "0.5", "0.009999999776482582", "0.5234820246696472", "1.0",
                              "0.15419800579547882", "1.0", "0.0", "0.0", "0.0", "0.05000000074505806",
                              "0.5301110148429871", "1.0", "0.12960000336170197", "0.0", "0.0", "0.5", "0.0", "0.0",
                              "0.0", "0.5", "1.0", "1.0", "0.0", "0.0", "0.0", "1.0", "0.0", "0.0", "1.0",
                              "0.10000000149011612", "0.0", "0.0", "0.0"};
    for (int i = 0; i < 36; ++i)
        s += std::string ("    ") + values[i] + (i < 35 ? ",\n" : "\n");
    s += "  ],\n  \"plugin\": \"Vorlix307\",\n  \"program\": 0,\n  \"programName\": \"InitSaw\"\n}";
    return s;
}

} // namespace

TEST (PresetJson, ExportTextIsExact)
{
    Linked l = makeLinked ();
    EXPECT_EQ (l.plugin->instrument ().exportPresetJson (), exportedAfterInitialize ());
    // Export reads and changes nothing.
    EXPECT_EQ (l.plugin->instrument ().exportPresetJson (), exportedAfterInitialize ());
}

TEST (PresetJson, ExportThenImportRestoresEveryValueAndTheProgram)
{
    Linked a = makeLinked ();
    a.plugin->handleUiControlTag (kPresetListBox, 44.0f);
    a.plugin->handleUiControlTag (kOsc1Detune, 0.31f);
    a.plugin->handleUiControlTag (kUseOscSync1, 1.0f);
    a.plugin->handleUiControlTag (kOsc1Detune, 0.27f); // the user turns the detune after syncing
    a.plugin->handleUiControlTag (kFilt1Cutoff, 0.123f);
    const std::string text = a.plugin->instrument ().exportPresetJson ();

    Linked b = makeLinked ();
    b.host->componentHandler ().clear ();
    EXPECT_TRUE (b.plugin->instrument ().importPresetJson (text));
    EXPECT_EQ (b.plugin->instrument ().exportPresetJson (), text);
    EXPECT_EQ (b.plugin->instrument ().currentProgramIndex (), 44);
    EXPECT_EQ (engineDetunes (*b.plugin).first, 0.27f);
    EXPECT_EQ (getStateBytes (b.host->component ()), getStateBytes (a.host->component ()));
    // The host is told to re-read its values, without edits.
    ASSERT_EQ (b.host->componentHandler ().calls ().size (), 1u);
    EXPECT_EQ (b.host->componentHandler ().calls ()[0].kind,
               Vorlix::Host::RecordingComponentHandler::Kind::restartComponent);

    // A classic sound exports without the setting and comes back classic.
    a.plugin->instrument ().setPreciseOscillators (false);
    const std::string classic = a.plugin->instrument ().exportPresetJson ();
    EXPECT_EQ (classic.find ("oscillators"), std::string::npos);
    EXPECT_TRUE (b.plugin->instrument ().importPresetJson (classic));
    EXPECT_FALSE (b.plugin->instrument ().engineWhileIdle ().preciseOscillators ());
    EXPECT_EQ (b.plugin->instrument ().exportPresetJson (), classic);
}

TEST (PresetJson, MalformedOrForeignTextChangesNothing)
{
    const std::string deep = std::string (100000, '[') + std::string (100000, ']');
    const std::string cases[] = {
        "",
        "   ",
        "{",
        "{\"program\": 3,}",
        "{\"params\": [0.5, 0.5,]}",
        "{\"program\": 3} trailing",
        "{\"program\": 3}{}",
        "nul",
        "{\"a\": \"\xff\xfe\"}",
        "{\"params\": [1e999]}",
        deep,
        "{\"x\":" + std::string (40, '[') + std::string (40, ']') + "}",
        "{\"params\": [" + std::string (2u << 20, ' ') + "]}",
        // Valid JSON that is no preset document of this instrument.
        "42",
        "[]",
        "[1, 2, 3]",
        "\"text\"",
        "null",
        "{\"plugin\": \"Other\", \"programName\": \"x\", \"program\": 1}",
        "{\"plugin\": \"vorlix307\", \"program\": 1}",
        "{\"plugin\": \"Vorlix307 \", \"program\": 1}",
        "{\"plugin\": 307, \"program\": 1}",
        "{\"plugin\": null, \"program\": 1}",
        "{\"plugin\": [\"Vorlix307\"], \"program\": 1}",
    };
    for (const std::string& text : cases)
    {
        Linked l = makeLinked ();
        l.plugin->handleUiControlTag (kPresetListBox, 9.0f);
        l.plugin->handleUiControlTag (kRes, 0.77f);
        const Bytes before = getStateBytes (l.host->component ());
        l.host->componentHandler ().clear ();
        EXPECT_FALSE (l.plugin->instrument ().importPresetJson (text)) << text.substr (0, 40);
        EXPECT_EQ (getStateBytes (l.host->component ()), before);
        EXPECT_TRUE (l.host->componentHandler ().calls ().empty ());
    }
}

TEST (PresetJson, ValidShapesApplyWhatTheyCan)
{
    const struct
    {
        const char* text;
        int program;
        std::vector<std::pair<int, float>> values; // IDs that differ from the program's row
        bool precise = false;                      // oscillator mode afterwards
    } cases[] = {
        {"{}", 0, {}},
        {"{\"program\": 12}", 12, {}},
        {"{\"program\": 3.0}", 0, {}},
        {"{\"program\": \"12\"}", 0, {}},
        {"{\"program\": -5}", 0, {}},
        {"{\"program\": 99}", 60, {}},
        {"{\"program\": 4294967301}", 60, {}},
        {"{\"program\": -9223372036854775808}", 0, {}},
        {"{\"program\": 18446744073709551615}", 60, {}},
        {"{\"program\": 12, \"params\": {\"0\": 1}}", 12, {}},
        {"{\"program\": 12, \"params\": [0.9, 0.1]}", 12, {{0, 0.9f}, {1, 0.1f}}},
        {"{\"params\": [0.5, 0.5, 0.5, \"0.5\", 0.5]}", 0, {{0, 0.5f}, {2, 0.5f}, {4, 0.5f}}},
        {"{\"params\": [true, null, [], {}, 1]}", 0, {{4, 1.0f}}},
        {"{\"params\": [2, -1, 7]}", 0, {{0, 1.0f}, {1, 0.0f}, {2, 1.0f}}},
        {"{\"params\": [1e300, -1e300]}", 0, {{0, 1.0f}, {1, 0.0f}}},
        {"{\"plugin\": \"Vorlix307\", \"programName\": \"x\", \"program\": 1}", 1, {}},
        {"{\"oscillators\": \"precise\", \"program\": 2}", 2, {}, true},
        {"{\"oscillators\": \"classic\"}", 0, {}, false},
        {"{\"oscillators\": \"Precise\"}", 0, {}, false},
        {"{\"oscillators\": 1}", 0, {}, false},
        {"{\"oscillators\": [\"precise\"]}", 0, {}, false},
    };
    for (const auto& c : cases)
    {
        Linked l = makeLinked ();
        l.plugin->handleUiControlTag (kPresetListBox, 9.0f);
        EXPECT_TRUE (l.plugin->instrument ().importPresetJson (c.text)) << c.text;
        EXPECT_EQ (l.plugin->instrument ().currentProgramIndex (), c.program) << c.text;
        EXPECT_EQ (l.plugin->instrument ().engineWhileIdle ().programName, programnames[c.program]);
        EXPECT_EQ (l.plugin->instrument ().engineWhileIdle ().preciseOscillators (), c.precise) << c.text;
        for (int id = 0; id < 36; ++id)
        {
            float expected = id == kOutputLevel                                ? 0.1f
                             : id < static_cast<int> (programs[c.program][0]) ? programs[c.program][1 + id]
                                                                               : 0.0f;
            for (const auto& [vid, v] : c.values)
                if (vid == id)
                    expected = v;
            EXPECT_EQ (l.plugin->instrument ().normalizedParam (id), expected) << c.text << " id " << id;
        }
    }
}

TEST (PresetJson, MoreThanThirtySixValuesAreCutAndSyncWithoutStoredDetuneStillResets)
{
    nlohmann::json doc;
    doc["params"] = std::vector<double> (50, 0.75);
    Linked l = makeLinked ();
    EXPECT_TRUE (l.plugin->instrument ().importPresetJson (doc.dump ()));
    for (int id = 0; id < 36; ++id)
        EXPECT_EQ (l.plugin->instrument ().normalizedParam (id), 0.75f);

    // The detune is missing (not a number): the switch's reset still decides it.
    std::vector<nlohmann::json> params (36, 0.0);
    params[kOsc1Detune] = "x";
    params[kUseOscSync1] = 1.0;
    nlohmann::json partial;
    partial["params"] = params;
    EXPECT_TRUE (l.plugin->instrument ().importPresetJson (partial.dump ()));
    EXPECT_EQ (l.plugin->instrument ().normalizedParam (kOsc1Detune), 0.0f);
}
