// One object that is component, audio processor and edit controller at once, with its bus lists and
// parameter container. Debian's copy of the VST 3 SDK ships the pieces (EditController, BusList)
// but not this combination, so it is rebuilt here on the SDK's own interfaces.
#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "public.sdk/source/vst/vstbus.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

namespace Steinberg {
namespace Vst {

class SingleComponentEffect : public EditController,
                              public IComponent,
                              public IAudioProcessor,
                              public IProcessContextRequirements
{
public:
    SingleComponentEffect ();
    ~SingleComponentEffect () override;

    // Bus helpers, for initialize ().
    AudioBus* addAudioInput (const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
                             int32 flags = BusInfo::kDefaultActive);
    AudioBus* addAudioOutput (const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
                              int32 flags = BusInfo::kDefaultActive);
    EventBus* addEventInput (const TChar* name, int32 channels = 16, BusType busType = kMain,
                             int32 flags = BusInfo::kDefaultActive);
    EventBus* addEventOutput (const TChar* name, int32 channels = 16, BusType busType = kMain,
                              int32 flags = BusInfo::kDefaultActive);
    tresult removeAudioBusses ();
    tresult removeEventBusses ();
    tresult removeAllBusses ();
    BusList* getBusList (MediaType type, BusDirection dir);
    AudioBus* getAudioOutput (int32 index);
    AudioBus* getAudioInput (int32 index);

    //--- IPluginBase (both the component's and the controller's) -------------------------------
    tresult PLUGIN_API initialize (FUnknown* context) SMTG_OVERRIDE;
    /** Drops buses and parameters, so that a later initialize () starts from nothing. */
    tresult PLUGIN_API terminate () SMTG_OVERRIDE;

    //--- IEditController ------------------------------------------------------------------------
    /** The SDK's parameter container throws std::out_of_range for a bad index, which must never
        reach a host: answered with kInvalidArgument instead. */
    tresult PLUGIN_API getParameterInfo (int32 paramIndex, ParameterInfo& info) SMTG_OVERRIDE;

    //--- IComponent ------------------------------------------------------------------------------
    tresult PLUGIN_API getControllerClassId (TUID classId) SMTG_OVERRIDE;
    tresult PLUGIN_API setIoMode (IoMode mode) SMTG_OVERRIDE;
    int32 PLUGIN_API getBusCount (MediaType type, BusDirection dir) SMTG_OVERRIDE;
    tresult PLUGIN_API getBusInfo (MediaType type, BusDirection dir, int32 index,
                                   BusInfo& info) SMTG_OVERRIDE;
    tresult PLUGIN_API getRoutingInfo (RoutingInfo& inInfo, RoutingInfo& outInfo) SMTG_OVERRIDE;
    tresult PLUGIN_API activateBus (MediaType type, BusDirection dir, int32 index,
                                    TBool state) SMTG_OVERRIDE;
    tresult PLUGIN_API setActive (TBool state) SMTG_OVERRIDE;
    // One state serves both roles: the component's and the controller's setState/getState have the
    // same signature, so these override both.
    tresult PLUGIN_API setState (IBStream* state) SMTG_OVERRIDE;
    tresult PLUGIN_API getState (IBStream* state) SMTG_OVERRIDE;

    //--- IAudioProcessor ---------------------------------------------------------------------------
    tresult PLUGIN_API setBusArrangements (SpeakerArrangement* inputs, int32 numIns,
                                           SpeakerArrangement* outputs, int32 numOuts) SMTG_OVERRIDE;
    tresult PLUGIN_API getBusArrangement (BusDirection dir, int32 index,
                                          SpeakerArrangement& arr) SMTG_OVERRIDE;
    tresult PLUGIN_API canProcessSampleSize (int32 symbolicSampleSize) SMTG_OVERRIDE;
    uint32 PLUGIN_API getLatencySamples () SMTG_OVERRIDE { return 0; }
    tresult PLUGIN_API setupProcessing (ProcessSetup& setup) SMTG_OVERRIDE;
    tresult PLUGIN_API setProcessing (TBool state) SMTG_OVERRIDE;
    tresult PLUGIN_API process (ProcessData& data) SMTG_OVERRIDE;
    uint32 PLUGIN_API getTailSamples () SMTG_OVERRIDE { return kNoTail; }

    //--- IProcessContextRequirements -------------------------------------------------------------
    /** Needs nothing from the host's process context. */
    uint32 PLUGIN_API getProcessContextRequirements () SMTG_OVERRIDE { return 0; }

    //--- FUnknown ----------------------------------------------------------------------------------
    OBJ_METHODS (SingleComponentEffect, EditController)
    tresult PLUGIN_API queryInterface (const TUID iid, void** obj) SMTG_OVERRIDE;
    REFCOUNT_METHODS (EditController)

protected:
    ProcessSetup processSetup {};
    BusList audioInputs;
    BusList audioOutputs;
    BusList eventInputs;
    BusList eventOutputs;
};

} // namespace Vst
} // namespace Steinberg
