#include "tools/host/PluginInstance.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>
#include <cstring>

using namespace Steinberg;

namespace Vorlix::Host {

std::unique_ptr<PluginInstance> PluginInstance::adopt (FUnknown* object, std::string& error)
{
    if (object == nullptr)
    {
        error = "the factory created no instance";
        return nullptr;
    }
    std::unique_ptr<PluginInstance> instance (new PluginInstance);
    instance->comp = FUnknownPtr<Vst::IComponent> (object);
    instance->proc = FUnknownPtr<Vst::IAudioProcessor> (object);
    instance->ctrl = FUnknownPtr<Vst::IEditController> (object);
    object->release ();
    if (!instance->comp || !instance->proc)
    {
        error = "the instance is not an audio component with an audio processor";
        return nullptr;
    }
    if (!instance->initialize (error))
        return nullptr;
    return instance;
}

std::unique_ptr<PluginInstance> PluginInstance::create (IPluginFactory* factory, const TUID classId,
                                                        std::string& error)
{
    if (factory == nullptr)
    {
        error = "no plug-in factory";
        return nullptr;
    }
    FUnknown* object = nullptr;
    if (factory->createInstance (classId, FUnknown::iid, reinterpret_cast<void**> (&object)) != kResultOk
        || object == nullptr)
    {
        error = "the factory could not create the audio module class";
        return nullptr;
    }
    return adopt (object, error);
}

bool PluginInstance::initialize (std::string& error)
{
    hostContext = std::make_unique<HostContext> ();
    if (comp->initialize (static_cast<FUnknown*> (hostContext.get ())) != kResultOk)
    {
        error = "the component refused to initialize";
        return false;
    }
    initialized = true;
    if (ctrl)
        ctrl->setComponentHandler (&handler);
    return true;
}

bool PluginInstance::start (const ProcessConfig& cfg, std::string& error)
{
    if (started)
        stop ();
    config = cfg;
    config.maxBlock = std::max (cfg.maxBlock, 1);

    Vst::SpeakerArrangement stereo = Vst::SpeakerArr::kStereo;
    proc->setBusArrangements (nullptr, 0, &stereo, 1);
    Vst::BusInfo bus {};
    if (comp->getBusCount (Vst::kAudio, Vst::kOutput) < 1
        || comp->getBusInfo (Vst::kAudio, Vst::kOutput, 0, bus) != kResultOk || bus.channelCount != 2)
    {
        error = "the module has no stereo audio output";
        return false;
    }
    const bool wide = config.sampleSize == Vst::kSample64;
    if (proc->canProcessSampleSize (config.sampleSize) != kResultTrue)
    {
        error = wide ? "the module cannot process 64-bit float samples"
                     : "the module cannot process 32-bit float samples";
        return false;
    }
    Vst::ProcessSetup setup {config.processMode, config.sampleSize, config.maxBlock, config.sampleRate};
    if (proc->setupProcessing (setup) != kResultOk)
    {
        error = "the module refused the processing setup";
        return false;
    }
    comp->activateBus (Vst::kAudio, Vst::kOutput, 0, true);
    if (comp->getBusCount (Vst::kEvent, Vst::kInput) > 0)
        comp->activateBus (Vst::kEvent, Vst::kInput, 0, true);

    outputBus = {};
    outputBus.numChannels = 2;
    if (wide)
    {
        left64.assign (static_cast<size_t> (config.maxBlock), 0.0);
        right64.assign (static_cast<size_t> (config.maxBlock), 0.0);
        channels64[0] = left64.data ();
        channels64[1] = right64.data ();
        outputBus.channelBuffers64 = channels64;
    }
    else
    {
        left.assign (static_cast<size_t> (config.maxBlock), 0.f);
        right.assign (static_cast<size_t> (config.maxBlock), 0.f);
        channels[0] = left.data ();
        channels[1] = right.data ();
        outputBus.channelBuffers32 = channels;
    }

    context = {};
    context.state = Vst::ProcessContext::kPlaying | Vst::ProcessContext::kTempoValid
                    | Vst::ProcessContext::kTimeSigValid;
    context.sampleRate = config.sampleRate;
    context.tempo = 120.0;
    context.timeSigNumerator = 4;
    context.timeSigDenominator = 4;

    if (comp->setActive (true) != kResultOk)
    {
        error = "the module refused to activate";
        return false;
    }
    started = true;
    proc->setProcessing (true); // kNotImplemented is a valid answer
    return true;
}

void PluginInstance::stop ()
{
    if (!started)
        return;
    proc->setProcessing (false);
    comp->setActive (false);
    started = false;
}

tresult PluginInstance::process (int frames)
{
    if (!started)
        return kNotInitialized;
    frames = std::clamp (frames, 0, config.maxBlock);
    if (config.sampleSize == Vst::kSample64)
    {
        std::memset (left64.data (), 0, sizeof (double) * static_cast<size_t> (frames));
        std::memset (right64.data (), 0, sizeof (double) * static_cast<size_t> (frames));
    }
    else
    {
        std::memset (left.data (), 0, sizeof (float) * static_cast<size_t> (frames));
        std::memset (right.data (), 0, sizeof (float) * static_cast<size_t> (frames));
    }
    outputBus.silenceFlags = 0;

    Vst::ProcessData data;
    data.processMode = config.processMode;
    data.symbolicSampleSize = config.sampleSize;
    data.numSamples = frames;
    data.numOutputs = 1;
    data.outputs = &outputBus;
    data.inputParameterChanges = &paramChanges;
    outParamChanges.clear ();
    data.outputParameterChanges = &outParamChanges;
    data.inputEvents = &eventList;
    data.processContext = &context;

    const tresult result = proc->process (data);
    eventList.clear ();
    paramChanges.clear ();
    context.projectTimeSamples += frames;
    context.projectTimeMusic = static_cast<double> (context.projectTimeSamples) / config.sampleRate * (context.tempo / 60.0);
    return result;
}

PluginInstance::~PluginInstance ()
{
    stop ();
    if (ctrl)
        ctrl->setComponentHandler (nullptr);
    if (initialized)
        comp->terminate ();
    ctrl = nullptr;
    proc = nullptr;
    comp = nullptr;
}

} // namespace Vorlix::Host
