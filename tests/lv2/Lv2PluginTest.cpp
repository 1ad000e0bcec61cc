// The LV2 build as hosts see it, through lilv: its description, its presets, its renders against
// the VST 3 build's, its state, and what it does with bad port values and events.
#include "Lv2TestHost.h"

#include "Vorlix307Lv2Uris.h"
#include "VorlixInstrumentState.h"
#include "VorlixLv2PortValue.h"
#include "VorlixParamID.h"
#include "VorlixParameters.h"
#include "VorlixPresetBank.h"

#include "tools/host/PluginInstance.h"
#include "tools/host/PluginModule.h"

#include <lv2/atom/forge.h>
#include <lv2/midi/midi.h>
#include <lv2/presets/presets.h>
#include <lv2/ui/ui.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace VorlixLv2Test;
using namespace VorlixLv2Ports;

struct Note
{
    double seconds;
    int pitch;
    int velocity; // 0: note-off
};

/** A short phrase with overlapping notes, releases and a chord. */
const std::vector<Note> phrase = {{0.0, 48, 100}, {0.02, 55, 70},  {0.05, 60, 127}, {0.08, 48, 0},
                                  {0.1, 64, 90},  {0.13, 55, 0},   {0.15, 60, 0},   {0.17, 64, 0}};
constexpr double phraseSeconds = 0.25;

/** The frame a note starts on: both formats play notes on their exact frame. */
std::int64_t frameOf (const Note& n, double rate)
{
    return static_cast<std::int64_t> (n.seconds * rate);
}

std::vector<float> renderLv2 (Lv2Instance& lv2, double rate, int block)
{
    std::vector<float> out;
    const auto total = static_cast<std::int64_t> (phraseSeconds * rate);
    for (std::int64_t start = 0; start < total; start += block)
    {
        const int n = static_cast<int> (std::min<std::int64_t> (block, total - start));
        std::vector<Lv2Event> events;
        for (const Note& note : phrase)
            if (const std::int64_t f = frameOf (note, rate); f >= start && f < start + n)
                events.push_back (lv2.midi (f - start, note.velocity ? 0x90 : 0x80, static_cast<std::uint8_t> (note.pitch),
                                            static_cast<std::uint8_t> (note.velocity)));
        lv2.run (n, events);
        for (int i = 0; i < n; ++i)
        {
            out.push_back (lv2.left ()[static_cast<std::size_t> (i)]);
            out.push_back (lv2.right ()[static_cast<std::size_t> (i)]);
        }
    }
    return out;
}

std::vector<float> renderVst3 (double rate, int block)
{
    std::string error;
    auto module = Vorlix::Host::PluginModule::load (VORLIX_BUNDLE_DIR, error);
    EXPECT_TRUE (module) << error;
    if (!module)
        return {};
    Steinberg::PClassInfo info {};
    EXPECT_GE (module->findAudioModuleClass (info), 0);
    auto vst3 = Vorlix::Host::PluginInstance::create (module->factory (), info.cid, error);
    EXPECT_TRUE (vst3) << error;
    Vorlix::Host::ProcessConfig config;
    config.sampleRate = rate;
    config.maxBlock = block;
    EXPECT_TRUE (vst3 && vst3->start (config, error)) << error;
    std::vector<float> out;
    if (!vst3)
        return out;
    const auto total = static_cast<std::int64_t> (phraseSeconds * rate);
    for (std::int64_t start = 0; start < total; start += block)
    {
        const int n = static_cast<int> (std::min<std::int64_t> (block, total - start));
        for (const Note& note : phrase)
            if (const std::int64_t f = frameOf (note, rate); f >= start && f < start + n)
            {
                if (note.velocity)
                    vst3->events ().addNoteOn (static_cast<int> (f - start), note.pitch,
                                               static_cast<float> (note.velocity) / 127.0f);
                else
                    vst3->events ().addNoteOff (static_cast<int> (f - start), note.pitch);
            }
        vst3->process (n);
        for (int i = 0; i < n; ++i)
        {
            out.push_back (vst3->output (0)[i]);
            out.push_back (vst3->output (1)[i]);
        }
    }
    vst3->stop ();
    vst3.reset ();
    return out;
}

double peak (const std::vector<float>& x)
{
    double p = 0.0;
    for (float v : x)
        p = std::max (p, static_cast<double> (std::fabs (v)));
    return p;
}

/** The first sample where two renders differ, or -1. */
long firstDifference (const std::vector<float>& a, const std::vector<float>& b)
{
    if (a.size () != b.size ())
        return 0;
    for (std::size_t i = 0; i < a.size (); ++i)
        if (std::memcmp (&a[i], &b[i], sizeof (float)) != 0)
            return static_cast<long> (i);
    return -1;
}

class Lv2Test : public ::testing::Test
{
protected:
    std::unique_ptr<Lv2Instance> make (double rate = 48000.0, int block = 4096, bool worker = true)
    {
        auto i = Lv2Instance::create (world, VORLIX_LV2_URI, rate, block, worker);
        EXPECT_TRUE (i) << "the bundle is not on LV2_PATH or does not instantiate";
        return i;
    }

    Lv2Event object (LV2_URID type, const std::function<void (LV2_Atom_Forge&)>& body = {})
    {
        std::uint8_t buffer[512];
        LV2_Atom_Forge forge;
        lv2_atom_forge_init (&forge, world.mapFeature ());
        lv2_atom_forge_set_buffer (&forge, buffer, sizeof buffer);
        LV2_Atom_Forge_Frame frame;
        auto* atom = reinterpret_cast<LV2_Atom*> (lv2_atom_forge_object (&forge, &frame, 0, type));
        if (body)
            body (forge);
        lv2_atom_forge_pop (&forge, &frame);
        const auto* bytes = static_cast<const std::uint8_t*> (LV2_ATOM_BODY (atom));
        return {0, atom->type, {bytes, bytes + atom->size}};
    }

    Lv2Event tag (int id, float value)
    {
        return object (world.map (VORLIX_LV2_TAG), [&] (LV2_Atom_Forge& f) {
            lv2_atom_forge_key (&f, world.map (VORLIX_LV2_TAG_ID));
            lv2_atom_forge_int (&f, id);
            lv2_atom_forge_key (&f, world.map (VORLIX_LV2_TAG_VALUE));
            lv2_atom_forge_float (&f, value);
        });
    }

    /** The program and values the plug-in reports when asked, as its UI would learn them. */
    VorlixInstrumentState::Record reported (Lv2Instance& lv2)
    {
        lv2.run (1, {object (world.map (VORLIX_LV2_REQUEST))});
        for (const Lv2Event& e : lv2.notifications ())
        {
            if (e.type != world.map (LV2_ATOM__Object) || e.body.size () < sizeof (LV2_Atom_Object_Body))
                continue;
            // The chunk is the object's only property: id, context, then the atom and its body.
            const std::size_t at = sizeof (LV2_Atom_Object_Body) + sizeof (LV2_Atom_Property_Body);
            if (e.body.size () >= at + VorlixInstrumentState::kBytes)
                if (auto r = VorlixInstrumentState::fromBytes (e.body.data () + at, e.body.size () - at))
                    return *r;
        }
        ADD_FAILURE () << "no values reported";
        return {};
    }

    Lv2World world;
};

TEST_F (Lv2Test, PortsCarryTheParameterTableAndTheFormatsPorts)
{
    const LilvPlugin* p = world.plugin (VORLIX_LV2_URI);
    ASSERT_NE (p, nullptr);
    LilvWorld* w = world.world ();
    ASSERT_EQ (lilv_plugin_get_num_ports (p), kCount);
    std::vector<float> mins (kCount), maxs (kCount), defs (kCount);
    lilv_plugin_get_port_ranges_float (p, mins.data (), maxs.data (), defs.data ());
    LilvNode* control = lilv_new_uri (w, LV2_CORE__ControlPort);
    LilvNode* input = lilv_new_uri (w, LV2_CORE__InputPort);
    LilvNode* toggled = lilv_new_uri (w, LV2_CORE__toggled);
    LilvNode* integer = lilv_new_uri (w, LV2_CORE__integer);
    for (int id = 0; id < kNumParams; ++id)
    {
        SCOPED_TRACE (id);
        const LilvPort* port = lilv_plugin_get_port_by_index (p, static_cast<std::uint32_t> (id));
        EXPECT_TRUE (lilv_port_is_a (p, port, control) && lilv_port_is_a (p, port, input));
        LilvNode* name = lilv_port_get_name (p, port);
        EXPECT_STREQ (lilv_node_as_string (name), VorlixParameters::title (id));
        lilv_node_free (name);
        // The default plays program 0 exactly as a fresh VST 3 instance does.
        EXPECT_EQ (VorlixLv2PortValue::fromPort (id, defs[static_cast<std::size_t> (id)]),
                   VorlixParameters::defaultValue (id));
        const int positions = VorlixParamText::positionCount (id);
        LilvScalePoints* points = lilv_port_get_scale_points (p, port);
        const bool isSwitch = lilv_port_has_property (p, port, toggled);
        EXPECT_EQ (static_cast<int> (maxs[static_cast<std::size_t> (id)] - mins[static_cast<std::size_t> (id)]),
                   positions ? positions - 1 : 1);
        EXPECT_EQ (lilv_port_has_property (p, port, integer), positions > 0 && !isSwitch);
        EXPECT_EQ (points ? static_cast<int> (lilv_scale_points_size (points)) : 0, isSwitch ? 0 : positions);
        lilv_scale_points_free (points);
    }
    for (int id : {kOsc1Invert, kUseLegato, kUseOscSync2})
        EXPECT_TRUE (lilv_port_has_property (p, lilv_plugin_get_port_by_index (p, id), toggled));
    lilv_node_free (control);
    lilv_node_free (input);
    lilv_node_free (toggled);
    lilv_node_free (integer);

    LilvNode* audio = lilv_new_uri (w, LV2_CORE__AudioPort);
    LilvNode* output = lilv_new_uri (w, LV2_CORE__OutputPort);
    EXPECT_EQ (lilv_plugin_get_num_ports_of_class (p, audio, output, nullptr), 2u);
    LilvNode* midi = lilv_new_uri (w, LV2_MIDI__MidiEvent);
    LilvNode* supports = lilv_new_uri (w, LV2_ATOM__supports);
    LilvNodes* supported = lilv_port_get_value (p, lilv_plugin_get_port_by_index (p, kControl), supports);
    EXPECT_TRUE (supported && lilv_nodes_contains (supported, midi));
    lilv_nodes_free (supported);
    // Only urid:map is required; everything else a host may or may not offer.
    LilvNodes* required = lilv_plugin_get_required_features (p);
    ASSERT_EQ (lilv_nodes_size (required), 1u);
    EXPECT_STREQ (lilv_node_as_uri (lilv_nodes_get_first (required)), LV2_URID__map);
    lilv_nodes_free (required);
    LilvNode* hardRt = lilv_new_uri (w, LV2_CORE__hardRTCapable);
    EXPECT_TRUE (lilv_plugin_has_feature (p, hardRt));
    LilvUIs* uis = lilv_plugin_get_uis (p);
    ASSERT_EQ (lilv_uis_size (uis), 1u);
    LilvNode* x11 = lilv_new_uri (w, LV2_UI__X11UI);
    EXPECT_TRUE (lilv_ui_is_a (lilv_uis_get (uis, lilv_uis_begin (uis)), x11));
    for (LilvNode* n : {audio, output, midi, supports, hardRt, x11})
        lilv_node_free (n);
    lilv_uis_free (uis);
}

TEST_F (Lv2Test, PresetsAreTheProgramsByNameAndPlayWhatPickingThemPlays)
{
    const LilvPlugin* p = world.plugin (VORLIX_LV2_URI);
    ASSERT_NE (p, nullptr);
    LilvWorld* w = world.world ();
    LilvNode* presetClass = lilv_new_uri (w, LV2_PRESETS__Preset);
    LilvNode* label = lilv_new_uri (w, LILV_NS_RDFS "label");
    LilvNodes* presets = lilv_plugin_get_related (p, presetClass);
    ASSERT_EQ (lilv_nodes_size (presets), static_cast<unsigned> (num_programs));
    for (int program = 0; program < num_programs; ++program)
    {
        SCOPED_TRACE (program);
        const std::string uri = VORLIX_LV2_PRESET_PREFIX + std::to_string (program);
        LilvNode* node = lilv_new_uri (w, uri.c_str ());
        ASSERT_TRUE (lilv_nodes_contains (presets, node));
        lilv_world_load_resource (w, node);
        LilvNodes* labels = lilv_world_find_nodes (w, node, label, nullptr);
        ASSERT_EQ (lilv_nodes_size (labels), 1u);
        EXPECT_STREQ (lilv_node_as_string (lilv_nodes_get_first (labels)), VorlixPresetBank::programName (program));
        lilv_nodes_free (labels);

        auto recalled = make (48000.0, 512);
        // Every other pick is sent to a host without a worker, where run () does it itself.
        auto picked = make (48000.0, 512, program % 2 == 0);
        ASSERT_TRUE (recalled && picked);
        LilvState* state = lilv_state_new_from_world (w, world.mapFeature (), node);
        ASSERT_NE (state, nullptr);
        recalled->restore (state);
        lilv_state_free (state);
        picked->run (1, {tag (kPresetListBox, static_cast<float> (program))});
        EXPECT_EQ (picked->workScheduled (), program % 2 == 0 ? 1 : 0);
        // Then the UI writes the picked values to the ports, as positions where a port has them.
        for (int id = 0; id < kNumParams; ++id)
            picked->control (static_cast<unsigned> (id)) =
                VorlixLv2PortValue::toPort (id, VorlixPresetBank::programValue (program, id));
        picked->run (1);
        recalled->run (2);
        const auto a = renderLv2 (*recalled, 48000.0, 512);
        const auto b = renderLv2 (*picked, 48000.0, 512);
        EXPECT_EQ (firstDifference (a, b), -1);
        EXPECT_EQ (recalled->control (kProgram), static_cast<float> (program));
        EXPECT_EQ (picked->control (kProgram), static_cast<float> (program));
        // Position ports do not round a program's in-between selector values.
        const auto r = reported (*recalled);
        const auto q = reported (*picked);
        EXPECT_EQ (std::memcmp (r.values, q.values, sizeof r.values), 0);
        lilv_node_free (node);
    }
    lilv_nodes_free (presets);
    lilv_node_free (label);
    lilv_node_free (presetClass);
}

TEST_F (Lv2Test, MidiRendersWhatTheVst3BuildRenders)
{
    for (const double rate : {44100.0, 48000.0, 96000.0})
        for (const int block : {1, 64, 4096})
        {
            SCOPED_TRACE (testing::Message () << rate << " Hz, blocks of " << block);
            auto lv2 = make (rate, block);
            ASSERT_TRUE (lv2);
            const auto viaLv2 = renderLv2 (*lv2, rate, block);
            const auto viaVst3 = renderVst3 (rate, block);
            EXPECT_GT (peak (viaLv2), 0.01);
            EXPECT_EQ (firstDifference (viaLv2, viaVst3), -1);
        }
}

TEST_F (Lv2Test, StateSavedAndRestoredThroughLilvRendersTheSame)
{
    // Each oscillator mode, restored into an instance that plays the other one.
    for (const bool precise : {false, true})
    {
        SCOPED_TRACE (precise ? "precise" : "classic");
        auto original = make ();
        ASSERT_TRUE (original);
        original->run (16, {tag (kPresetListBox, 12.0f), tag (kPreciseOscillatorsTag, precise ? 1.0f : 0.0f)});
        original->control (kFilt1Cutoff) = 0.3f;
        original->control (kUseUnison) = 2.0f;
        original->control (kOsc2WaveType) = 3.0f;
        original->run (16);

        LilvState* saved = original->saveState ();
        ASSERT_NE (saved, nullptr);
        // Through the text a host writes into its project file.
        char* text = lilv_state_to_string (world.world (), world.mapFeature (), world.unmapFeature (), saved,
                                           "urn:vorlix307:test-state", nullptr);
        ASSERT_NE (text, nullptr);
        LilvState* reopened = lilv_state_new_from_string (world.world (), world.mapFeature (), text);
        lilv_free (text);
        lilv_state_free (saved);
        ASSERT_NE (reopened, nullptr);

        auto restored = make ();
        ASSERT_TRUE (restored);
        // A session's instance has run, with a knob moved, before the project is loaded; the host
        // then writes back its stale copy of the ports, which must not undo the restored values.
        restored->control (kRes) = 0.9f;
        restored->run (16, {tag (kPreciseOscillatorsTag, precise ? 0.0f : 1.0f)});
        restored->restore (reopened);
        lilv_state_free (reopened);
        const auto before = reported (*original);
        const auto after = reported (*restored);
        EXPECT_EQ (after.program, 12);
        EXPECT_EQ (before.preciseOscillators, precise);
        EXPECT_EQ (after.preciseOscillators, precise);
        EXPECT_EQ (std::memcmp (before.values, after.values, sizeof before.values), 0);
        EXPECT_EQ (after.values[kFilt1Cutoff], 0.3f);
        EXPECT_EQ (firstDifference (renderLv2 (*original, 48000.0, 256), renderLv2 (*restored, 48000.0, 256)),
                   -1);
    }
}

TEST_F (Lv2Test, OutOfRangePortValuesAreClamped)
{
    struct Case
    {
        int id;
        float port;
        float expected; // normalized
    };
    const float nan = std::nanf ("");
    const Case cases[] = {
        {kFilt1Cutoff, 7.0f, 1.0f},       {kFilt1Cutoff, -3.0f, 0.0f},     {kRes, nan, 0.0f},
        {kOsc1WaveType, 99.0f, 1.0f},     {kOsc1WaveType, -5.0f, 0.0f},    {kOsc2WaveType, 2.4f, 0.4f},
        {kMaxPoly, 0.0f, 0.5f / 9.0f},    {kMaxPoly, 40.0f, 1.0f},         {kUseUnison, 1e30f, 1.0f},
        {kOsc1Invert, 3.0f, 1.0f},        {kOsc1Invert, -1.0f, 0.0f},      {kSubOscOctave, 0.7f, 1.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE (testing::Message () << "port " << c.id << " = " << c.port);
        auto lv2 = make ();
        ASSERT_TRUE (lv2);
        lv2->control (static_cast<unsigned> (c.id)) = c.port;
        lv2->run (64);
        EXPECT_FLOAT_EQ (reported (*lv2).values[c.id], c.expected);
        EXPECT_TRUE (std::isfinite (peak (renderLv2 (*lv2, 48000.0, 64))));
    }
}

TEST_F (Lv2Test, MalformedAndForeignEventsAreIgnored)
{
    const LV2_URID midi = world.map (LV2_MIDI__MidiEvent);
    const LV2_URID objectType = world.map (LV2_ATOM__Object);
    std::vector<Lv2Event> junk = {
        {0, midi, {}},
        {0, midi, {0x90}},
        {0, midi, {0x90, 60}},
        {0, midi, {0xf0, 0x7e, 0x7f, 0x09, 0x01, 0xf7}},
        {0, midi, {0xb0, 0x07, 0x00}},
        {0, midi, {0x80, 61, 64}}, // a note that is not playing
        {0, world.map ("urn:example:foreign#Thing"), {1, 2, 3, 4}},
        {0, objectType, {1, 2}}, // shorter than an object's header
        object (world.map ("urn:example:foreign#Message")),
        object (world.map (VORLIX_LV2_TAG)),         // no properties
        tag (kFilt1Cutoff, 0.0f),                     // parameters travel by port
        tag (kPresetListBox, 0.0f),                   // program 0 is already playing
        object (world.map (VORLIX_LV2_APPLY), [&] (LV2_Atom_Forge& f) {
            const std::uint8_t shortState[7] = {1, 0, 0, 0, 0, 0, 0};
            lv2_atom_forge_key (&f, world.map (VORLIX_LV2_STATE));
            lv2_atom_forge_atom (&f, sizeof shortState, world.map (LV2_ATOM__Chunk));
            lv2_atom_forge_write (&f, shortState, sizeof shortState);
        }),
        {99999, midi, {0x90, 30, 0}}, // past the block's end
    };
    auto clean = make ();
    auto fed = make ();
    ASSERT_TRUE (clean && fed);
    const auto expected = reported (*clean);
    fed->run (64, junk);
    const auto after = reported (*fed);
    EXPECT_EQ (after.program, expected.program);
    EXPECT_EQ (std::memcmp (after.values, expected.values, sizeof after.values), 0);
    EXPECT_EQ (fed->control (kVoices), 0.0f);
    clean->run (64);
    EXPECT_EQ (firstDifference (renderLv2 (*clean, 48000.0, 64), renderLv2 (*fed, 48000.0, 64)), -1);
}

} // namespace
