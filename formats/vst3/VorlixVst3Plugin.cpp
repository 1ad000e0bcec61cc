// The VST 3 calls, translated into the instrument's core.
#include "VorlixVst3Plugin.h"

#include "VorlixVst3Controllers.h"
#include "VorlixVst3TimedInput.h"
#include "VorlixVst3View.h"

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <bit>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

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

FUnknown* VorlixVst3Plugin::createInstance (void* /*context*/)
{
    return static_cast<IAudioProcessor*> (new VorlixVst3Plugin ());
}

//--- the instrument's notices -------------------------------------------------------------------

void VorlixVst3Plugin::valueChanged (int id, float value)
{
    EditController::setParamNormalized (static_cast<ParamID> (id), value);
}

void VorlixVst3Plugin::editPerformed (int id, float value)
{
    const auto pid = static_cast<ParamID> (id);
    beginEdit (pid);
    performEdit (pid, value);
    endEdit (pid);
}

void VorlixVst3Plugin::valuesReloaded ()
{
    if (IComponentHandler* handler = getComponentHandler ())
        handler->restartComponent (kParamValuesChanged);
}

void VorlixVst3Plugin::refreshEditor ()
{
    editor.refresh ();
}

void VorlixVst3Plugin::unsavedChange ()
{
    FUnknownPtr<IComponentHandler2> handler2 (componentHandler);
    if (handler2)
        handler2->setDirty (true);
}

//--- life cycle ---------------------------------------------------------------------------------

tresult PLUGIN_API VorlixVst3Plugin::initialize (FUnknown* context)
{
    const tresult result = SingleComponentEffect::initialize (context);
    if (result != kResultOk)
        return result;

    addAudioOutput (STR16 ("Stereo Out"), SpeakerArr::kStereo, kMain, BusInfo::kDefaultActive);
    addEventInput (STR16 ("Event In"), 1, kMain, BusInfo::kDefaultActive);
    for (int id = 0; id < kNumParams; ++id)
    {
        String128 title {};
        UString (title, 128).fromAscii (VorlixParameters::title (id));
        parameters.addParameter (title, nullptr, 0, VorlixParameters::defaultValue (id),
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
    core.initialize ();
    return kResultOk;
}

tresult PLUGIN_API VorlixVst3Plugin::terminate ()
{
    return SingleComponentEffect::terminate ();
}

tresult PLUGIN_API VorlixVst3Plugin::setupProcessing (ProcessSetup& setup)
{
    core.setupProcessing (setup.sampleRate, setup.maxSamplesPerBlock);
    return SingleComponentEffect::setupProcessing (setup);
}

tresult PLUGIN_API VorlixVst3Plugin::setActive (TBool state)
{
    core.setActive (state != 0);
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
    return Vorlix::createVorlixVst3View (editor.model ().guiRoot (), editor.renderer (), this);
}

//--- parameters ---------------------------------------------------------------------------------

tresult PLUGIN_API VorlixVst3Plugin::setParamNormalized (ParamID id, ParamValue value)
{
    // A controller's value is only shown back to the host; it reaches the sound in process ().
    if (VorlixVst3Controllers::controllerOf (id) >= 0)
        return EditController::setParamNormalized (id, value == value ? (value < 0.0 ? 0.0 : (value > 1.0 ? 1.0 : value)) : 0.0);
    core.setParamFromHost (id < static_cast<ParamID> (kNumParams) ? static_cast<int> (id) : -1, value);
    return kResultOk;
}

ParamValue PLUGIN_API VorlixVst3Plugin::getParamNormalized (ParamID id)
{
    if (id < static_cast<ParamID> (kNumParams))
        return core.normalizedParam (static_cast<int> (id));
    if (VorlixVst3Controllers::controllerOf (id) >= 0)
        return EditController::getParamNormalized (id);
    return 0.0;
}

tresult PLUGIN_API VorlixVst3Plugin::getMidiControllerAssignment (int32 busIndex, int16 channel,
                                                                  CtrlNumber midiControllerNumber, ParamID& id)
{
    if (busIndex != 0 || channel < 0 || channel > 15 || !VorlixVst3Controllers::isMapped (midiControllerNumber))
        return kResultFalse;
    id = VorlixVst3Controllers::idOf (midiControllerNumber);
    return kResultTrue;
}

tresult PLUGIN_API VorlixVst3Plugin::getParamStringByValue (ParamID id, ParamValue value,
                                                            String128 string)
{
    if (!string || id >= static_cast<ParamID> (kNumParams))
        return kInvalidArgument;
    char text[128];
    VorlixParamText::format (static_cast<int> (id), VorlixParameters::toUnit (value), text, sizeof (text));
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

//--- state --------------------------------------------------------------------------------------

tresult PLUGIN_API VorlixVst3Plugin::getState (IBStream* state)
{
    if (!state)
        return kInvalidArgument;
    VorlixInstrumentState::Bytes bytes = VorlixInstrumentState::toBytes (core.stateRecord ());
    const auto size = static_cast<int32> (bytes.size);
    int32 written = 0;
    if (state->write (bytes.data.data (), size, &written) != kResultOk || written != size)
        return kResultFalse;
    return kResultOk;
}

tresult PLUGIN_API VorlixVst3Plugin::setState (IBStream* state)
{
    if (!state)
        return kResultFalse;
    // The record and nothing after it: whatever follows in the stream belongs to someone else.
    std::uint8_t bytes[VorlixInstrumentState::kMaxBytes];
    size_t size = 0;
    while (size < sizeof bytes)
    {
        int32 got = 0;
        if (state->read (bytes + size, static_cast<int32> (sizeof bytes - size), &got) != kResultOk || got <= 0)
            break;
        size += static_cast<size_t> (got);
    }
    const std::optional<VorlixInstrumentState::Record> record = VorlixInstrumentState::fromBytes (bytes, size);
    if (!record)
        return kResultFalse;
    return core.restoreState (*record) ? kResultOk : kResultFalse;
}

//--- processing (audio thread) ------------------------------------------------------------------

// What each timed input of a block becomes in the core.
struct VorlixVst3Plugin::TimedInput
{
    VorlixInstrument::AudioBlock& block;

    void renderUntil (int offset) { block.renderUntil (offset); }

    void parameter (ParamID id, ParamValue value)
    {
        if (id < static_cast<ParamID> (kNumParams))
        {
            block.setParam (static_cast<int> (id), value);
            return;
        }
        const int controller = VorlixVst3Controllers::controllerOf (id);
        if (controller == kPitchBend)
            block.pitchBend (VorlixVst3Controllers::wheelPosition (value));
        else if (controller >= 0)
            block.controlChange (controller, VorlixVst3Controllers::controllerValue (value));
    }

    void event (const Event& e)
    {
        if (e.type == Event::kNoteOnEvent)
            block.noteOn (e.noteOn.pitch, e.noteOn.velocity);
        else if (e.type == Event::kNoteOffEvent)
            block.noteOff (e.noteOff.pitch);
    }
};

tresult PLUGIN_API VorlixVst3Plugin::process (ProcessData& data)
{
    VorlixInstrument::AudioBlock block (core);
    if (!block.ownsEngine ())
    {
        // Only when a host breaks the threading rules (processing while a set-up call runs).
        silenceOutputs (data);
        return kResultOk;
    }

    // Parameter points, mapped controllers and notes in time order, each at its sample offset
    // with the audio before it rendered first.
    if (data.numOutputs > 0 && data.outputs)
    {
        AudioBusBuffers& bus = data.outputs[0];
        bus.silenceFlags = 0;
        if (bus.numChannels >= 2)
        {
            if (data.symbolicSampleSize == kSample64 && bus.channelBuffers64)
                block.setOutput (bus.channelBuffers64[0], bus.channelBuffers64[1], data.numSamples);
            else if (data.symbolicSampleSize == kSample32 && bus.channelBuffers32)
                block.setOutput (bus.channelBuffers32[0], bus.channelBuffers32[1], data.numSamples);
        }
    }
    TimedInput input {block};
    VorlixVst3TimedInput::play (data.inputParameterChanges, data.inputEvents, data.numSamples, input);

    // A detune that a sync switch re-centred is reported back in the same block.
    IParameterChanges* out = data.outputParameterChanges;
    block.reportRecentredDetunes ([out] (int id, float value) {
        int32 index = 0;
        IParamValueQueue* queue = out ? out->addParameterData (static_cast<ParamID> (id), index) : nullptr;
        int32 point = 0;
        return queue && queue->addPoint (0, value, point) == kResultOk;
    });
    return kResultOk;
}
