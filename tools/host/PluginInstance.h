// One plug-in instance driven as a DAW drives it: initialize with a host context, stereo output,
// setupProcessing, activation, blocks of 32-bit (or 64-bit) processing with events and parameter
// changes, and the orderly shutdown. Every buffer is obtained in start(), so process() allocates
// nothing.
#pragma once

#include "tools/host/HostContext.h"
#include "tools/host/HostEventList.h"
#include "tools/host/HostParameterChanges.h"
#include "tools/host/RecordingComponentHandler.h"

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

#include <memory>
#include <string>
#include <vector>

namespace Vorlix::Host {

struct ProcessConfig
{
    double sampleRate = 48000.0;
    int maxBlock = 256;
    Steinberg::int32 processMode = Steinberg::Vst::kOffline; // rendering, not a live stream
    Steinberg::int32 sampleSize = Steinberg::Vst::kSample32; // or kSample64
};

class PluginInstance
{
public:
    /** Takes over one reference of `object` (what createInstance returned) and initializes it. */
    static std::unique_ptr<PluginInstance> adopt (Steinberg::FUnknown* object, std::string& error);
    /** Creates class `classId` from `factory` and initializes it. */
    static std::unique_ptr<PluginInstance> create (Steinberg::IPluginFactory* factory,
                                                   const Steinberg::TUID classId, std::string& error);

    ~PluginInstance ();
    PluginInstance (const PluginInstance&) = delete;
    PluginInstance& operator= (const PluginInstance&) = delete;

    /** Stereo output, setupProcessing, bus activation, setActive(true), setProcessing(true). */
    bool start (const ProcessConfig& config, std::string& error);
    /** setProcessing(false), setActive(false); start() may be called again afterwards. */
    void stop ();

    /** Audio thread. Fill events() and parameterChanges() first; both are cleared afterwards.
        `frames` is cut to the configured maximum block. */
    Steinberg::tresult process (int frames);
    const float* output (int channel) const { return channel == 0 ? left.data () : right.data (); }
    /** The output of 64-bit processing (config.sampleSize kSample64). */
    const double* output64 (int channel) const { return channel == 0 ? left64.data () : right64.data (); }

    HostEventList& events () { return eventList; }
    HostParameterChanges& parameterChanges () { return paramChanges; }
    /** What the plug-in reported in the last block (its output parameter changes). */
    HostParameterChanges& outputParameterChanges () { return outParamChanges; }
    RecordingComponentHandler& componentHandler () { return handler; }

    Steinberg::Vst::IComponent* component () const { return comp; }
    Steinberg::Vst::IAudioProcessor* processor () const { return proc; }
    /** Null when the component is not its own edit controller. */
    Steinberg::Vst::IEditController* controller () const { return ctrl; }

    /** Any further interface of the component (e.g. a private extension). */
    template <class I>
    Steinberg::IPtr<I> query () const
    {
        I* p = nullptr;
        if (comp && comp->queryInterface (I::iid, reinterpret_cast<void**> (&p)) == Steinberg::kResultOk)
            return Steinberg::owned (p);
        return nullptr;
    }

private:
    PluginInstance () = default;
    bool initialize (std::string& error);

    // The SDK's host application does not count references (release never deletes it): the
    // instance owns it, and as the first member it outlives the component's terminate().
    std::unique_ptr<HostContext> hostContext;
    Steinberg::IPtr<Steinberg::Vst::IComponent> comp;
    Steinberg::IPtr<Steinberg::Vst::IAudioProcessor> proc;
    Steinberg::IPtr<Steinberg::Vst::IEditController> ctrl;
    RecordingComponentHandler handler;
    HostEventList eventList;
    HostParameterChanges paramChanges;
    HostParameterChanges outParamChanges;

    std::vector<float> left, right;
    std::vector<double> left64, right64;
    float* channels[2] = {nullptr, nullptr};
    double* channels64[2] = {nullptr, nullptr};
    Steinberg::Vst::AudioBusBuffers outputBus {};
    Steinberg::Vst::ProcessContext context {};
    ProcessConfig config;
    bool initialized = false;
    bool started = false;
};

} // namespace Vorlix::Host
