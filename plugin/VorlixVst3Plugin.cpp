// Life cycle, parameters, editor commands and processing of the component.
#include "VorlixVst3Plugin.h"

#include "VorlixParamNames.h"
#include "VorlixParamText.h"
#include "VorlixVst3Controllers.h"
#include "VorlixVst3PluginImpl.h"
#include "VorlixVst3TimedInput.h"
#include "editor/VorlixVst3View.h"

#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <thread>

#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#define VORLIX_HAS_MXCSR 1
#endif

using namespace Steinberg;
using namespace Steinberg::Vst;
using VorlixValues::toUnit;

namespace {

// Blocks longer than this are rendered in pieces on the 64-bit path; it bounds what a host's
// maxSamplesPerBlock can make the component allocate.
constexpr int32 kMaxScratchFrames = 1 << 16;
constexpr int32 kDefaultScratchFrames = 1024;

/** Flushes subnormals to zero (FTZ and DAZ) for its scope, restoring the caller's mode after. */
class DenormalScope
{
public:
    DenormalScope ()
    {
#ifdef VORLIX_HAS_MXCSR
        saved = _mm_getcsr ();
        _mm_setcsr (saved | 0x8040u);
#endif
    }
    ~DenormalScope ()
    {
#ifdef VORLIX_HAS_MXCSR
        _mm_setcsr (saved);
#endif
    }

private:
    unsigned saved = 0;
};

void silenceOutputs (ProcessData& data)
{
    if (data.numOutputs <= 0 || !data.outputs || data.numSamples <= 0)
        return;
    AudioBusBuffers& bus = data.outputs[0];
    for (int32 c = 0; c < bus.numChannels; ++c)
    {
        if (data.symbolicSampleSize == kSample32 && bus.channelBuffers32 && bus.channelBuffers32[c])
            std::memset (bus.channelBuffers32[c], 0, sizeof (float) * static_cast<size_t> (data.numSamples));
        else if (data.symbolicSampleSize == kSample64 && bus.channelBuffers64 && bus.channelBuffers64[c])
            std::memset (bus.channelBuffers64[c], 0, sizeof (double) * static_cast<size_t> (data.numSamples));
    }
}

} // namespace

VorlixVst3Plugin::VorlixVst3Plugin ()
: engine (std::make_unique<VorlixGenPolyphonic> ())
, scratchLeft (kDefaultScratchFrames)
, scratchRight (kDefaultScratchFrames)
, presetAccess (std::make_unique<PresetAccess> (*this))
{
    VorlixEngineOps::reserveProgramName (*engine);
    for (auto& v : normalizedValues)
        v.store (0.0f, std::memory_order_relaxed);
    for (auto& v : engineValues)
        v.store (0.0f, std::memory_order_relaxed);
    // What the engine's initial patch gave the detunes, for a detune copy before any program load.
    engineValues[kOsc1Detune].store (0.5f, std::memory_order_relaxed);
    engineValues[kOsc2Detune].store (0.5f, std::memory_order_relaxed);
}

VorlixVst3Plugin::~VorlixVst3Plugin () = default;

FUnknown* VorlixVst3Plugin::createInstance (void* /*context*/)
{
    return static_cast<IAudioProcessor*> (new VorlixVst3Plugin ());
}

//--- engine ownership ---------------------------------------------------------------------------

bool VorlixVst3Plugin::tryAcquireEngine ()
{
    return !engineBusy.exchange (true, std::memory_order_acquire);
}

void VorlixVst3Plugin::acquireEngine ()
{
    // Only contended when a host calls set-up functions while process () runs, which the API
    // forbids; the wait is then at most one block.
    while (!tryAcquireEngine ())
        std::this_thread::yield ();
}

void VorlixVst3Plugin::releaseEngine ()
{
    engineBusy.store (false, std::memory_order_release);
}

void VorlixVst3Plugin::updateVoiceCount ()
{
    voiceCount.store (VorlixEngineOps::activeVoiceCount (*engine), std::memory_order_relaxed);
}

void VorlixVst3Plugin::applyPendingIfInactive ()
{
    if (active.load (std::memory_order_acquire))
        return;
    // If a misbehaving host runs process () while inactive, that call drains instead.
    if (!tryAcquireEngine ())
        return;
    handoff.drain (*engine);
    updateVoiceCount ();
    releaseEngine ();
}

//--- life cycle ---------------------------------------------------------------------------------

tresult PLUGIN_API VorlixVst3Plugin::initialize (FUnknown* context)
{
    const tresult result = SingleComponentEffect::initialize (context);
    if (result != kResultOk)
        return result;

    addAudioOutput (STR16 ("Stereo Out"), SpeakerArr::kStereo, kMain, BusInfo::kDefaultActive);
    addEventInput (STR16 ("Event In"), 1, kMain, BusInfo::kDefaultActive);
    initializeParameters ();

    {
        std::lock_guard<std::mutex> lock (uiMutex);
        acquireEngine ();
        handoff.drain (*engine); // anything left from an earlier life goes before the reset
        engine->clear ();
        engine->setSampleRate (processSampleRate);
        VorlixEngineOps::releaseAll (*engine);
        midi.reset (*engine);
        releaseEngine ();
    }
    {
        // Program 0 exactly as a pick loads it: what the engine plays is what the host is shown
        // and what a saved project stores, so reopening a project never changes its sound.
        UiUnit unit (*this);
        if (num_programs > 0)
            loadProgramWith (unit.out (), 0);
        unit.out ().resync ();
    }
    syncGuiFromHost ();
    return kResultOk;
}

tresult PLUGIN_API VorlixVst3Plugin::terminate ()
{
    return SingleComponentEffect::terminate ();
}

void VorlixVst3Plugin::initializeParameters ()
{
    for (int id = 0; id < kNumParams; ++id)
    {
        const char* name = cVorlixParamNames[id];
        if (!name)
            name = "";
        if (name[0] == 'k')
            ++name;
        String128 title {};
        UString (title, 128).fromAscii (name);
        parameters.addParameter (title, nullptr, 0, VorlixPresetBank::programValue (0, id),
                                 ParameterInfo::kCanAutomate, static_cast<ParamID> (id), kRootUnitId);
    }
    // The controllers a host maps through IMidiMapping must be parameters (validators check it);
    // hidden and not automatable, hosts neither list nor record them, and no state holds them.
    for (const CtrlNumber controller : VorlixVst3Controllers::kMapped)
    {
        String128 title {};
        UString (title, 128).fromAscii (controller == kPitchBend ? "MIDI Pitch Bend" : "MIDI Controller");
        parameters.addParameter (title, nullptr, 0, controller == kPitchBend ? 0.5 : 0.0, ParameterInfo::kIsHidden,
                                 VorlixVst3Controllers::idOf (controller), kRootUnitId);
    }
}

tresult PLUGIN_API VorlixVst3Plugin::getMidiControllerAssignment (int32 busIndex, int16 channel,
                                                                  CtrlNumber midiControllerNumber, ParamID& id)
{
    if (busIndex != 0 || channel < 0 || channel > 15 || !VorlixVst3Controllers::isMapped (midiControllerNumber))
        return kResultFalse;
    id = VorlixVst3Controllers::idOf (midiControllerNumber);
    return kResultTrue;
}

tresult PLUGIN_API VorlixVst3Plugin::setupProcessing (ProcessSetup& setup)
{
    const double rate = setup.sampleRate;
    // Rates at or below 1 kHz (and nonsense) fall back to 48 kHz; absurdly high ones are capped so
    // that the narrowing stays defined.
    if (std::isfinite (rate) && rate > 1000.0)
        processSampleRate = static_cast<float> (rate < 1.0e7 ? rate : 1.0e7);
    else
        processSampleRate = 48000.0f;

    const int32 frames = setup.maxSamplesPerBlock > 0
                             ? (setup.maxSamplesPerBlock < kMaxScratchFrames ? setup.maxSamplesPerBlock
                                                                             : kMaxScratchFrames)
                             : kDefaultScratchFrames;
    {
        std::lock_guard<std::mutex> lock (uiMutex);
        acquireEngine ();
        handoff.drain (*engine);
        engine->setSampleRate (processSampleRate);
        scratchLeft.assign (static_cast<size_t> (frames), 0.0f);
        scratchRight.assign (static_cast<size_t> (frames), 0.0f);
        releaseEngine ();
    }
    return SingleComponentEffect::setupProcessing (setup);
}

tresult PLUGIN_API VorlixVst3Plugin::setActive (TBool state)
{
    if (state)
    {
        // Everything handed over so far lands before the audio thread takes the engine.
        applyPendingIfInactive ();
        active.store (true, std::memory_order_release);
    }
    else
    {
        active.store (false, std::memory_order_release);
        UiUnit unit (*this);
        unit.out ().releaseAll ();
    }
    return kResultOk;
}

tresult PLUGIN_API VorlixVst3Plugin::canProcessSampleSize (int32 symbolicSampleSize)
{
    return (symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64) ? kResultTrue
                                                                                : kResultFalse;
}

tresult PLUGIN_API VorlixVst3Plugin::setBusArrangements (SpeakerArrangement* inputs, int32 numIns,
                                                         SpeakerArrangement* outputs, int32 numOuts)
{
    if (inputs != nullptr || numIns != 0 || outputs == nullptr || numOuts != 1)
        return kResultFalse;
    AudioBus* bus = getAudioOutput (0);
    if (!bus)
        return kResultFalse;
    const bool twoSpeakers = std::popcount (static_cast<uint64> (outputs[0])) == 2;
    bus->setArrangement (twoSpeakers ? outputs[0] : SpeakerArr::kStereo);
    bus->setName (STR16 ("Stereo Out"));
    return twoSpeakers ? kResultTrue : kResultFalse;
}

IPlugView* PLUGIN_API VorlixVst3Plugin::createView (FIDString name)
{
    if (name == nullptr || std::strcmp (name, ViewType::kEditor) != 0)
        return nullptr;
    return Vorlix::createVorlixVst3View (editorModel ().guiRoot (), renderer, this);
}

Vorlix::VorlixEditor& VorlixVst3Plugin::editorModel ()
{
    if (!editor)
    {
        editor = std::make_unique<Vorlix::VorlixEditor> (makeHostCallbacks (this));
        renderer.setResources (editor->resourceList ());
        editor->guiRoot ().setContext (&renderer);
        syncGuiFromHost (); // as if it had followed every change since construction
    }
    return *editor;
}

Vorlix::VorlixEditor::HostCallbacks VorlixVst3Plugin::makeHostCallbacks (VorlixVst3Plugin* plugin)
{
    // The channel row and the keyboard are not shown in the plug-in: their callbacks stay empty.
    Vorlix::VorlixEditor::HostCallbacks callbacks;
    callbacks.onControlTag = [plugin] (int tag, float value) { plugin->handleUiControlTag (tag, value); };
    callbacks.getParamValue = [plugin] (int id) { return plugin->normalizedParam (id); };
    callbacks.getCurrentProgram = [plugin] { return plugin->currentProgramIndex (); };
    callbacks.getActiveVoiceCount = [plugin] { return plugin->activeVoiceCount (); };
    return callbacks;
}

//--- parameters ---------------------------------------------------------------------------------

float VorlixVst3Plugin::normalizedParam (int id) const
{
    if (id < 0 || id >= kNumParams)
        return 0.0f;
    return normalizedValues[static_cast<size_t> (id)].load (std::memory_order_relaxed);
}

int VorlixVst3Plugin::activeVoiceCount () const
{
    return voiceCount.load (std::memory_order_relaxed);
}

const char* VorlixVst3Plugin::currentProgramName () const
{
    return VorlixPresetBank::programName (currentProgramIndex ());
}

void VorlixVst3Plugin::applyNormalizedParam (int id, float value, bool notifyHost)
{
    if (id < 0 || id >= kNumParams)
        return;
    const float v = toUnit (value);
    int recentred = -1;
    {
        UiUnit unit (*this);
        recentred = applyValue (unit.out (), id, v, ApplyMode::edit, false);
    }
    if (!notifyHost)
    {
        // The host set the switch and knows of it, but not of the detune that followed; the next
        // block tells it, the way automation of the switch is reported.
        if (recentred >= 0)
            unreportedDetunes.fetch_or (detuneBit (recentred), std::memory_order_relaxed);
        return;
    }
    reportEdit (id, v);
    // The switch re-centred its detune on our side; the host has to hear of that as well, or its
    // display and automation keep a detune the engine no longer plays.
    if (recentred >= 0)
        reportEdit (recentred, normalizedParam (recentred));
}

void VorlixVst3Plugin::reportEdit (int id, float value)
{
    const auto pid = static_cast<ParamID> (id);
    beginEdit (pid);
    performEdit (pid, value);
    endEdit (pid);
}

tresult PLUGIN_API VorlixVst3Plugin::setParamNormalized (ParamID id, ParamValue value)
{
    if (id < static_cast<ParamID> (kNumParams))
        applyNormalizedParam (static_cast<int> (id), toUnit (value), false);
    else if (VorlixVst3Controllers::controllerOf (id) >= 0)
        EditController::setParamNormalized (id, toUnit (value)); // shown back to the host only
    syncGuiFromHost ();
    return kResultOk;
}

ParamValue PLUGIN_API VorlixVst3Plugin::getParamNormalized (ParamID id)
{
    if (id < static_cast<ParamID> (kNumParams))
        return normalizedParam (static_cast<int> (id));
    if (VorlixVst3Controllers::controllerOf (id) >= 0)
        return EditController::getParamNormalized (id);
    return 0.0;
}

tresult PLUGIN_API VorlixVst3Plugin::getParamStringByValue (ParamID id, ParamValue value,
                                                            String128 string)
{
    if (!string || id >= static_cast<ParamID> (kNumParams))
        return kInvalidArgument;
    char text[128];
    VorlixParamText::format (static_cast<int> (id), toUnit (value), text, sizeof (text));
    UString (string, 128).fromAscii (text);
    return kResultOk;
}

tresult PLUGIN_API VorlixVst3Plugin::getParamValueByString (ParamID id, TChar* string, ParamValue& value)
{
    if (!string || id >= static_cast<ParamID> (kNumParams))
        return kInvalidArgument;
    char text[128];
    UString (string, 128).toAscii (text, sizeof (text));
    float parsed = 0.0f;
    if (!VorlixParamText::parse (static_cast<int> (id), text, parsed))
        return kResultFalse;
    value = parsed;
    return kResultOk;
}

//--- editor commands ----------------------------------------------------------------------------

void VorlixVst3Plugin::copyDetune (int fromId, int toId)
{
    float d = 0.0f;
    {
        UiUnit unit (*this);
        d = toUnit (engineValues[static_cast<size_t> (fromId)].load (std::memory_order_relaxed));
        unit.out ().setParam (toId, d);
        normalizedValues[static_cast<size_t> (toId)].store (d, std::memory_order_relaxed);
        EditController::setParamNormalized (static_cast<ParamID> (toId), d);
        unit.out ().resync ();
    }
    reportEdit (toId, d);
}

void VorlixVst3Plugin::handleUiControlTag (int tag, float value)
{
    if (tag >= 0 && tag < kNumParams)
    {
        applyNormalizedParam (tag, value, true);
    }
    else if (tag == kSyncNow1)
    {
        copyDetune (kOsc2Detune, kOsc1Detune);
    }
    else if (tag == kSyncNow2)
    {
        copyDetune (kOsc1Detune, kOsc2Detune);
    }
    else if (tag == Vorlix::kExportPreset)
    {
        // The plug view runs the save dialog and writes exportPresetJson () to the chosen file.
        renderer.requestSaveFileDialog (currentProgramName ());
    }
    else if (tag == Vorlix::kImportPreset)
    {
        renderer.requestOpenFileDialog ();
    }
    else if (tag == kPresetListBox && num_programs > 0)
    {
        // Nearest row, halves away from zero; clamped first so the conversion is always defined.
        float row = std::isnan (value) ? 0.0f : value;
        const float last = static_cast<float> (num_programs - 1);
        row = row < 0.0f ? 0.0f : (row > last ? last : row);
        const int index = static_cast<int> (std::lround (row));
        {
            UiUnit unit (*this);
            unit.out ().releaseAll ();
            loadProgramWith (unit.out (), index);
            unit.out ().resync ();
        }
        notifyHostOfNewValues ();
    }
    syncGuiFromHost ();
}

void VorlixVst3Plugin::notifyHostOfNewValues ()
{
    // Not an edit: the host re-reads every value, so its display and automation baseline follow.
    if (IComponentHandler* handler = getComponentHandler ())
        handler->restartComponent (kParamValuesChanged);
}

void VorlixVst3Plugin::syncGuiFromHost ()
{
    if (!editor)
        return; // built from the current values when the first view is created
    editor->syncFromHost ();
    editor->guiRoot ().syncContext ();
}

void VorlixVst3Plugin::loadProgram (int index)
{
    if (index < 0 || index >= num_programs)
        return;
    UiUnit unit (*this);
    loadProgramWith (unit.out (), index);
}

//--- processing (audio thread) ------------------------------------------------------------------

void VorlixVst3Plugin::reportDetunes (IParameterChanges* out, unsigned detunes)
{
    for (const int detuneId : {kOsc1Detune, kOsc2Detune})
    {
        if (!(detunes & detuneBit (detuneId)))
            continue;
        int32 index = 0;
        IParamValueQueue* queue = out ? out->addParameterData (static_cast<ParamID> (detuneId), index) : nullptr;
        int32 point = 0;
        if (queue && queue->addPoint (0, normalizedParam (detuneId), point) == kResultOk)
            detunes &= ~detuneBit (detuneId);
    }
    // No room this time (or no output list at all): a later block tries again.
    if (detunes != 0)
        unreportedDetunes.fetch_or (detunes, std::memory_order_relaxed);
}

void VorlixVst3Plugin::handleEvent (const Event& event)
{
    switch (event.type)
    {
        case Event::kNoteOnEvent:
            midi.noteOn (*engine, event.noteOn.pitch, toUnit (event.noteOn.velocity));
            break;
        case Event::kNoteOffEvent:
            midi.noteOff (*engine, event.noteOff.pitch);
            break;
        default:
            break;
    }
}

void VorlixVst3Plugin::renderFloat (float** channels, int frames)
{
    if (!channels || frames <= 0 || !channels[0] || !channels[1])
        return;
    engine->processReplacingT<float> (channels[0], channels[1], 1, frames, true);
}

void VorlixVst3Plugin::renderDouble (double** channels, int frames)
{
    if (!channels || frames <= 0 || !channels[0] || !channels[1])
        return;
    const int chunk = static_cast<int> (scratchLeft.size ());
    if (chunk <= 0)
        return;
    for (int done = 0; done < frames;)
    {
        const int n = frames - done < chunk ? frames - done : chunk;
        engine->processReplacingT<float> (scratchLeft.data (), scratchRight.data (), 1, n, true);
        for (int i = 0; i < n; ++i)
        {
            channels[0][done + i] = scratchLeft[static_cast<size_t> (i)];
            channels[1][done + i] = scratchRight[static_cast<size_t> (i)];
        }
        done += n;
    }
}

struct VorlixVst3Plugin::TimedInput
{
    VorlixVst3Plugin& plugin;
    DirectWriter& writer;
    unsigned recentred;
    float** out32 = nullptr;
    double** out64 = nullptr;
    int rendered = 0;

    void renderUntil (int offset)
    {
        if (offset <= rendered)
            return;
        if (out32 && out32[0] && out32[1])
            plugin.engine->processReplacingT<float> (out32[0] + rendered, out32[1] + rendered, 1, offset - rendered, true);
        else if (out64 && out64[0] && out64[1])
        {
            double* part[2] = {out64[0] + rendered, out64[1] + rendered};
            plugin.renderDouble (part, offset - rendered);
        }
        rendered = offset;
    }

    void parameter (ParamID id, ParamValue value)
    {
        if (id < static_cast<ParamID> (kNumParams))
        {
            const int detuneId = plugin.applyValue (writer, static_cast<int> (id), toUnit (value), ApplyMode::edit, false);
            if (detuneId >= 0)
                recentred |= detuneBit (detuneId);
            else if (id == kOsc1Detune || id == kOsc2Detune)
                recentred &= ~detuneBit (static_cast<int> (id));
            return;
        }
        VorlixGenPolyphonic& engine = *plugin.engine;
        switch (VorlixVst3Controllers::controllerOf (id))
        {
            case kPitchBend: plugin.midi.pitchBend (engine, VorlixVst3Controllers::wheelPosition (value)); break;
            case kCtrlSustainOnOff:
            case kCtrlAllSoundsOff:
            case kCtrlResetAllCtrlers:
            case kCtrlAllNotesOff:
                plugin.midi.controlChange (engine, VorlixVst3Controllers::controllerOf (id),
                                           VorlixVst3Controllers::controllerValue (value));
                break;
            default: break; // not a parameter of ours
        }
    }

    void event (const Event& e) { plugin.handleEvent (e); }
};

tresult PLUGIN_API VorlixVst3Plugin::process (ProcessData& data)
{
    if (!tryAcquireEngine ())
    {
        // Only when a host breaks the threading rules (processing while a set-up call runs).
        silenceOutputs (data);
        return kResultOk;
    }
    DenormalScope denormals;
    handoff.drain (*engine);
    DirectWriter writer {*this};

    // Parameter points, controllers and notes in time order, each at its sample offset, the audio
    // before it rendered first. A detune that a switch re-centres is reported back in the same
    // block, unless the host set that detune itself later in the block.
    TimedInput input {*this, writer, unreportedDetunes.exchange (0, std::memory_order_relaxed)};
    if (data.numOutputs > 0 && data.outputs)
    {
        AudioBusBuffers& bus = data.outputs[0];
        bus.silenceFlags = 0;
        if (bus.numChannels >= 2)
        {
            if (data.symbolicSampleSize == kSample64)
                input.out64 = bus.channelBuffers64;
            else if (data.symbolicSampleSize == kSample32)
                input.out32 = bus.channelBuffers32;
        }
    }
    VorlixVst3TimedInput::play (data.inputParameterChanges, data.inputEvents, data.numSamples, input);
    if (input.recentred != 0)
        reportDetunes (data.outputParameterChanges, input.recentred);

    updateVoiceCount ();
    releaseEngine ();
    return kResultOk;
}
