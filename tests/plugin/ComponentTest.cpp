// The component as a host and the editor see it: registration, value handling, editor commands.
#include "PluginTestSupport.h"

#include "VorlixGenConvert.h"
#include "VorlixParamID.h"
#include "VorlixPrograms.h"

#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/vstspeaker.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace VorlixTest;
using Call = Vorlix::Host::RecordingComponentHandler::Call;
using Kind = Vorlix::Host::RecordingComponentHandler::Kind;

namespace {

std::string ascii (const String128 s)
{
    char buffer[129] = {};
    UString (const_cast<char16*> (s), 128).toAscii (buffer, 128);
    return buffer;
}

} // namespace

TEST (Component, RegistersThirtySixAutomatableContinuousParameters)
{
    Linked l = makeLinked ();
    IEditController* c = l.controller ();
    // Then the hidden controller parameters (Playing tests), which hosts neither show nor automate.
    ASSERT_EQ (c->getParameterCount (), 36 + 5);
    for (int32 i = 0; i < 36; ++i)
    {
        ParameterInfo info {};
        ASSERT_EQ (c->getParameterInfo (i, info), kResultTrue);
        EXPECT_EQ (info.id, static_cast<ParamID> (i));
        EXPECT_EQ (info.stepCount, 0);
        EXPECT_EQ (info.flags, ParameterInfo::kCanAutomate);
        EXPECT_EQ (info.unitId, kRootUnitId);
        EXPECT_EQ (ascii (info.units), "");
        EXPECT_EQ (ascii (info.shortTitle), "");
        const double expected = i == kOutputLevel ? static_cast<double> (0.1f)
                                : i < 34          ? static_cast<double> (programs[0][1 + i])
                                                  : 0.0;
        EXPECT_EQ (info.defaultNormalizedValue, expected) << i;
    }
    ParameterInfo info {};
    for (int32 i = 36; i < c->getParameterCount (); ++i)
    {
        ASSERT_EQ (c->getParameterInfo (i, info), kResultTrue);
        EXPECT_GE (info.id, static_cast<ParamID> (kPresetListBox + 1)) << "clear of the IDs state and editor use";
        EXPECT_EQ (info.flags, ParameterInfo::kIsHidden);
    }
    EXPECT_NE (c->getParameterInfo (41, info), kResultTrue);
    EXPECT_NE (c->getParameterInfo (-1, info), kResultTrue);
}

TEST (Component, TitlesAreTheEnumeratorNamesWithoutTheLeadingK)
{
    Linked l = makeLinked ();
    const struct
    {
        int id;
        const char* title;
    } cases[] = {{kOsc1WaveType, "Osc1WaveType"}, {kRes, "Res"}, {kUseFilterEnvVelocity, "UseFilterEnvVelocity"},
                 {kKeyboardTracking, "KeyboardTracking"}, {kSubOscOctave, "SubOscOctave"}};
    for (const auto& c : cases)
    {
        ParameterInfo info {};
        ASSERT_EQ (l.controller ()->getParameterInfo (c.id, info), kResultTrue);
        EXPECT_EQ (ascii (info.title), c.title);
    }
    ParameterInfo level {};
    l.controller ()->getParameterInfo (kOutputLevel, level);
    EXPECT_EQ (level.defaultNormalizedValue, static_cast<double> (0.1f));
}

TEST (Component, BusesAreOneStereoOutputAndOneEventInput)
{
    Linked l = makeLinked ();
    IComponent* comp = l.host->component ();
    EXPECT_EQ (comp->getBusCount (kAudio, kInput), 0);
    EXPECT_EQ (comp->getBusCount (kAudio, kOutput), 1);
    EXPECT_EQ (comp->getBusCount (kEvent, kInput), 1);
    EXPECT_EQ (comp->getBusCount (kEvent, kOutput), 0);
    BusInfo out {};
    ASSERT_EQ (comp->getBusInfo (kAudio, kOutput, 0, out), kResultTrue);
    EXPECT_EQ (ascii (out.name), "Stereo Out");
    EXPECT_EQ (out.channelCount, 2);
    EXPECT_EQ (out.busType, kMain);
    EXPECT_EQ (out.flags, static_cast<uint32> (BusInfo::kDefaultActive));
    BusInfo in {};
    ASSERT_EQ (comp->getBusInfo (kEvent, kInput, 0, in), kResultTrue);
    EXPECT_EQ (ascii (in.name), "Event In");
    EXPECT_EQ (in.channelCount, 1);
    EXPECT_EQ (comp->getBusInfo (kAudio, kOutput, 1, out), kInvalidArgument);
    EXPECT_EQ (comp->getBusInfo (kAudio, kOutput, -1, out), kInvalidArgument);
}

TEST (Component, BusArrangementsAcceptOnlyTwoSpeakerOutputs)
{
    Linked l = makeLinked ();
    IAudioProcessor* proc = l.host->processor ();
    struct
    {
        SpeakerArrangement requested;
        tresult result;
        SpeakerArrangement after;
    } cases[] = {
        {SpeakerArr::kStereo, kResultTrue, SpeakerArr::kStereo},
        {SpeakerArr::kMono, kResultFalse, SpeakerArr::kStereo},
        {SpeakerArr::kStereoSurround, kResultTrue, SpeakerArr::kStereoSurround},
        {SpeakerArr::k51, kResultFalse, SpeakerArr::kStereo},
        {0, kResultFalse, SpeakerArr::kStereo},
    };
    for (auto& c : cases)
    {
        SpeakerArrangement arr = c.requested;
        EXPECT_EQ (proc->setBusArrangements (nullptr, 0, &arr, 1), c.result);
        SpeakerArrangement now = 0;
        ASSERT_EQ (proc->getBusArrangement (kOutput, 0, now), kResultTrue);
        EXPECT_EQ (now, c.after);
    }
    SpeakerArrangement stereo = SpeakerArr::kStereo;
    EXPECT_EQ (proc->setBusArrangements (&stereo, 1, &stereo, 1), kResultFalse);
    EXPECT_EQ (proc->setBusArrangements (nullptr, 0, nullptr, 1), kResultFalse);
    EXPECT_EQ (proc->setBusArrangements (nullptr, 0, &stereo, 2), kResultFalse);
    EXPECT_EQ (proc->canProcessSampleSize (kSample32), kResultTrue);
    EXPECT_EQ (proc->canProcessSampleSize (kSample64), kResultTrue);
    EXPECT_EQ (proc->canProcessSampleSize (2), kResultFalse);
    EXPECT_EQ (proc->getLatencySamples (), 0u);
}

TEST (Component, HostValuesAreClampedInfinitiesIncludedAndNaNBecomesZero)
{
    Linked l = makeLinked ();
    IEditController* c = l.controller ();
    const struct
    {
        double in;
        double stored;
    } cases[] = {{1.5, 1.0}, {-0.2, 0.0}, {0.25, 0.25}, {std::nan (""), 0.0}, {INFINITY, 1.0}, {-INFINITY, 0.0}, {1e300, 1.0}};
    for (const auto& k : cases)
    {
        EXPECT_EQ (c->setParamNormalized (kFilt1Cutoff, k.in), kResultOk);
        EXPECT_EQ (c->getParamNormalized (kFilt1Cutoff), k.stored) << k.in;
        EXPECT_EQ (l.plugin->instrument ().normalizedParam (kFilt1Cutoff), static_cast<float> (k.stored));
    }
    // Unknown IDs are accepted and ignored.
    for (ParamID id : {36u, 37u, 40u, 1000u})
    {
        EXPECT_EQ (c->setParamNormalized (id, 0.5), kResultOk);
        EXPECT_EQ (c->getParamNormalized (id), 0.0);
    }
    EXPECT_EQ (l.plugin->instrument ().normalizedParam (-1), 0.0f);
    EXPECT_EQ (l.plugin->instrument ().normalizedParam (36), 0.0f);
}

TEST (Component, SyncSwitchResetsItsDetuneAndReportsBoth)
{
    // Program 0 holds both switches at 0; `from` < 0 keeps that. The detune is set to 0.3 first,
    // so a switch that does not change can be seen leaving it alone.
    const struct
    {
        int sync;
        int detune;
        float from;
        float value;
        float detuneAfter;
    } cases[] = {
        {kUseOscSync1, kOsc1Detune, -1.0f, 1.0f, 0.0f},  {kUseOscSync1, kOsc1Detune, 1.0f, 0.0f, 0.5f},
        {kUseOscSync1, kOsc1Detune, -1.0f, 0.7f, 0.15f}, {kUseOscSync2, kOsc2Detune, -1.0f, 1.0f, 0.0f},
        {kUseOscSync2, kOsc2Detune, -1.0f, 0.2f, 0.4f},  {kUseOscSync1, kOsc1Detune, -1.0f, 0.0f, 0.3f},
        {kUseOscSync2, kOsc2Detune, 0.6f, 0.6f, 0.3f},   {kUseOscSync2, kOsc2Detune, 1.0f, 1.5f, 0.3f},
    };
    for (const auto& k : cases)
    {
        SCOPED_TRACE (testing::Message () << k.sync << " from " << k.from << " to " << k.value);
        Linked l = makeLinked ();
        if (k.from >= 0.0f)
            l.controller ()->setParamNormalized (k.sync, k.from);
        l.controller ()->setParamNormalized (k.detune, 0.3);
        l.host->componentHandler ().clear ();
        l.plugin->handleUiControlTag (k.sync, k.value);
        EXPECT_FLOAT_EQ (l.plugin->instrument ().normalizedParam (k.detune), k.detuneAfter);
        EXPECT_FLOAT_EQ (static_cast<float> (l.controller ()->getParamNormalized (k.detune)), k.detuneAfter);
        const auto [d1, d2] = engineDetunes (*l.plugin);
        EXPECT_FLOAT_EQ (k.detune == kOsc1Detune ? d1 : d2, k.detuneAfter);
        // The host hears of the switch and of the detune it reset, so its display stays true.
        const auto sync = static_cast<ParamID> (k.sync), detune = static_cast<ParamID> (k.detune);
        const double shown = k.value > 1.0f ? 1.0 : k.value;
        std::vector<Call> expected = {{Kind::beginEdit, sync, 0.0, 0}, {Kind::performEdit, sync, shown, 0}, {Kind::endEdit, sync, 0.0, 0}};
        if (k.detuneAfter != 0.3f)
            expected.insert (expected.end (), {{Kind::beginEdit, detune, 0.0, 0},
                                               {Kind::performEdit, detune, static_cast<double> (k.detuneAfter), 0},
                                               {Kind::endEdit, detune, 0.0, 0}});
        EXPECT_EQ (l.host->componentHandler ().calls (), expected);
    }
}

TEST (Component, ParameterTagsReportOneEditAndHostChangesReportNone)
{
    Linked l = makeLinked ();
    auto& handler = l.host->componentHandler ();
    handler.clear ();
    l.plugin->handleUiControlTag (kRes, 1.7f);
    const std::vector<Call> expected = {{Kind::beginEdit, kRes, 0.0, 0},
                                        {Kind::performEdit, kRes, 1.0, 0},
                                        {Kind::endEdit, kRes, 0.0, 0}};
    EXPECT_EQ (handler.calls (), expected);
    handler.clear ();
    l.controller ()->setParamNormalized (kRes, 0.3);
    EXPECT_TRUE (handler.calls ().empty ());
    // Tags that are not commands do nothing.
    for (int tag : {36, 37, 41, 907, 909, 910, -1, 100000})
        l.plugin->handleUiControlTag (tag, 0.5f);
    EXPECT_TRUE (handler.calls ().empty ());
    EXPECT_FLOAT_EQ (l.plugin->instrument ().normalizedParam (kRes), 0.3f);
}

TEST (Component, SyncNowCopiesTheOtherOscillatorsDetune)
{
    Linked l = makeLinked ();
    l.plugin->handleUiControlTag (kOsc2Detune, 0.8f);
    l.plugin->handleUiControlTag (kOsc1Detune, 0.1f);
    l.host->componentHandler ().clear ();
    l.plugin->handleUiControlTag (kSyncNow1, 0.0f);
    EXPECT_FLOAT_EQ (l.plugin->instrument ().normalizedParam (kOsc1Detune), 0.8f);
    EXPECT_FLOAT_EQ (engineDetunes (*l.plugin).first, 0.8f);
    const std::vector<Call> expected = {{Kind::beginEdit, kOsc1Detune, 0.0, 0},
                                        {Kind::performEdit, kOsc1Detune, static_cast<double> (0.8f), 0},
                                        {Kind::endEdit, kOsc1Detune, 0.0, 0}};
    EXPECT_EQ (l.host->componentHandler ().calls (), expected);

    // The detune a sync switch set is what gets copied, not the knob's last edit.
    l.plugin->handleUiControlTag (kUseOscSync1, 1.0f);
    l.plugin->handleUiControlTag (kSyncNow2, 0.0f);
    EXPECT_FLOAT_EQ (l.plugin->instrument ().normalizedParam (kOsc2Detune), 0.0f);
    EXPECT_FLOAT_EQ (engineDetunes (*l.plugin).second, 0.0f);
}

TEST (Component, PresetListTagRoundsClampsAndTellsTheHostToRereadValues)
{
    const struct
    {
        float value;
        int program;
    } cases[] = {{2.5f, 3}, {-0.4f, 0}, {99.0f, 60}, {2.49f, 2}, {5.0f, 5}, {NAN, 0}, {INFINITY, 60}, {-INFINITY, 0}};
    for (const auto& k : cases)
    {
        Linked l = makeLinked ();
        l.plugin->handleUiControlTag (kPresetListBox, 7.0f);
        l.host->componentHandler ().clear ();
        l.plugin->handleUiControlTag (kPresetListBox, k.value);
        EXPECT_EQ (l.plugin->instrument ().currentProgramIndex (), k.program) << k.value;
        EXPECT_STREQ (l.plugin->instrument ().currentProgramName (), programnames[k.program]);
        EXPECT_EQ (l.plugin->instrument ().engineWhileIdle ().programName, programnames[k.program]);
        const std::vector<Call> expected = {{Kind::restartComponent, 0, 0.0, kParamValuesChanged}};
        EXPECT_EQ (l.host->componentHandler ().calls (), expected);
    }
}

TEST (Component, ProgramLoadSetsValuesAndZeroesUncoveredIds)
{
    Linked l = makeLinked ();
    l.plugin->handleUiControlTag (kPresetListBox, 5.0f);
    EXPECT_FLOAT_EQ (l.plugin->instrument ().normalizedParam (kSubOscLevel), 0.22f);
    EXPECT_FLOAT_EQ (l.plugin->instrument ().normalizedParam (kSubOscOctave), 1.0f);
    l.plugin->handleUiControlTag (kPresetListBox, 3.0f);
    EXPECT_EQ (l.plugin->instrument ().normalizedParam (kSubOscLevel), 0.0f);
    EXPECT_EQ (l.plugin->instrument ().normalizedParam (kSubOscOctave), 0.0f);
    for (int id = 0; id < 34; ++id)
        EXPECT_EQ (l.plugin->instrument ().normalizedParam (id), id == kOutputLevel ? 0.1f : programs[3][1 + id]) << id;
    EXPECT_EQ (l.controller ()->getParamNormalized (kOutputLevel), static_cast<double> (0.1f));

    // Out-of-range loads change nothing at all.
    l.plugin->instrument ().loadProgram (61);
    l.plugin->instrument ().loadProgram (-1);
    EXPECT_EQ (l.plugin->instrument ().currentProgramIndex (), 3);
    EXPECT_EQ (l.plugin->instrument ().engineWhileIdle ().programName, programnames[3]);
}

TEST (Component, CreateViewOnlyForTheEditorName)
{
    Linked l = makeLinked ();
    Steinberg::IPlugView* view = l.controller ()->createView ("editor");
    ASSERT_NE (view, nullptr);
    EXPECT_EQ (view->release (), 0u);
    EXPECT_EQ (l.controller ()->createView ("Editor"), nullptr);
    EXPECT_EQ (l.controller ()->createView (nullptr), nullptr);
}

TEST (Component, EveryProgramLoadShowsTheLevelAndPolyphonyTheEnginePlays)
{
    // What the host reads back (and a saved project stores) must be what the engine plays: the
    // programs' level 0.1, and the polyphony that kMaxPoly shows. After a pick or an import the
    // host is told to re-read.
    auto expectShownIsPlayed = [] (Linked& l, const char* how) {
        EXPECT_EQ (l.plugin->instrument ().normalizedParam (kOutputLevel), 0.1f) << how;
        EXPECT_EQ (l.controller ()->getParamNormalized (kOutputLevel), static_cast<double> (0.1f)) << how;
        const VorlixGenPolyphonic& engine = l.plugin->instrument ().engineWhileIdle ();
        EXPECT_EQ (engine.patchVoice.levelKnob, 0.1f) << how;
        const float poly = static_cast<float> (l.controller ()->getParamNormalized (kMaxPoly));
        EXPECT_EQ (static_cast<float> (engine.voiceBank.polyphony), VorlixGenConvert::convertValue (kMaxPoly, poly)) << how;
    };
    Linked fresh = makeLinked ();
    expectShownIsPlayed (fresh, "initialize");

    const std::vector<Call> reread = {{Kind::restartComponent, 0, 0.0, kParamValuesChanged}};
    for (int p = 0; p < num_programs; ++p)
    {
        SCOPED_TRACE (programnames[p]);
        Linked l = makeLinked ();
        l.host->componentHandler ().clear ();
        l.plugin->handleUiControlTag (kPresetListBox, static_cast<float> (p));
        expectShownIsPlayed (l, "pick");
        EXPECT_EQ (l.host->componentHandler ().calls (), reread);

        l.plugin->handleUiControlTag (kOutputLevel, 0.8f);
        l.host->componentHandler ().clear ();
        EXPECT_TRUE (l.plugin->instrument ().importPresetJson ("{\"program\": " + std::to_string (p) + "}"));
        expectShownIsPlayed (l, "preset import");
        EXPECT_EQ (l.host->componentHandler ().calls (), reread);

        // A state that holds only the program: everything comes from the program load. The host
        // asked for it and re-reads by itself; a call back from inside setState can deadlock it.
        l.plugin->handleUiControlTag (kOutputLevel, 0.8f);
        l.host->componentHandler ().clear ();
        EXPECT_EQ (setStateBytes (l.host->component (), stateRecord (p, {})), kResultFalse);
        expectShownIsPlayed (l, "state");
        EXPECT_TRUE (l.host->componentHandler ().calls ().empty ());
    }
}
