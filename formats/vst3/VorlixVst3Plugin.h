// The instrument as a VST 3 host sees it: one object that is component, audio processor and edit
// controller. It translates the host's calls, streams and events into the instrument's core and
// owns nothing of its own but the VST 3 bookkeeping (buses, the parameter list it shows).
//
// Threads: process () runs on the host's audio thread; everything else on its user-interface
// thread. The core's notes on threads hold here.
#pragma once

#include "IVorlixPresetAccess.h"
#include "SingleComponentEffect.h"

#include "instrument/VorlixEditorBinding.h"
#include "instrument/VorlixInstrument.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <memory>

class VorlixVst3Plugin : public Steinberg::Vst::SingleComponentEffect,
                         public Steinberg::Vst::IMidiMapping,
                         private VorlixInstrument::Listener
{
public:
    VorlixVst3Plugin ();
    ~VorlixVst3Plugin () override;

    /** Factory create function: a new instance as its IAudioProcessor. */
    static Steinberg::FUnknown* createInstance (void* context);

    //--- host-facing ----------------------------------------------------------------------------
    Steinberg::tresult PLUGIN_API initialize (Steinberg::FUnknown* context) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API terminate () SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API setParamNormalized (Steinberg::Vst::ParamID id,
                                                      Steinberg::Vst::ParamValue value) SMTG_OVERRIDE;
    /** Any thread: the authoritative value, automation included. */
    Steinberg::Vst::ParamValue PLUGIN_API getParamNormalized (Steinberg::Vst::ParamID id) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getParamStringByValue (Steinberg::Vst::ParamID id,
                                                         Steinberg::Vst::ParamValue value,
                                                         Steinberg::Vst::String128 string) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getParamValueByString (Steinberg::Vst::ParamID id,
                                                         Steinberg::Vst::TChar* string,
                                                         Steinberg::Vst::ParamValue& value) SMTG_OVERRIDE;
    Steinberg::IPlugView* PLUGIN_API createView (Steinberg::FIDString name) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API setActive (Steinberg::TBool state) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API setState (Steinberg::IBStream* state) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getState (Steinberg::IBStream* state) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API setBusArrangements (Steinberg::Vst::SpeakerArrangement* inputs,
                                                      Steinberg::int32 numIns,
                                                      Steinberg::Vst::SpeakerArrangement* outputs,
                                                      Steinberg::int32 numOuts) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API canProcessSampleSize (Steinberg::int32 symbolicSampleSize) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API setupProcessing (Steinberg::Vst::ProcessSetup& setup) SMTG_OVERRIDE;
    /** Audio thread. */
    Steinberg::tresult PLUGIN_API process (Steinberg::Vst::ProcessData& data) SMTG_OVERRIDE;

    /** Any thread. Pitch bend and CC 64, 120, 121, 123, on every channel of the one event bus. */
    Steinberg::tresult PLUGIN_API getMidiControllerAssignment (Steinberg::int32 busIndex, Steinberg::int16 channel,
                                                               Steinberg::Vst::CtrlNumber midiControllerNumber,
                                                               Steinberg::Vst::ParamID& id) SMTG_OVERRIDE;

    Steinberg::tresult PLUGIN_API queryInterface (const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
    REFCOUNT_METHODS (SingleComponentEffect)

    /** The instrument behind this adapter. */
    VorlixInstrument& instrument () { return core; }
    const VorlixInstrument& instrument () const { return core; }
    /** UI thread. The editor's command entry, as the editor itself sends its commands. */
    void handleUiControlTag (int tag, float value) { editor.handleControlTag (tag, value); }
    /** UI thread. The editor model once a view was asked for (null before), for inspection. */
    const Vorlix::VorlixEditor* editorModelIfBuilt () const { return editor.modelIfBuilt (); }

private:
    class PresetAccess;
    struct TimedInput;

    // The instrument's notices, translated for the host.
    void valueChanged (int id, float value) override;
    void editPerformed (int id, float value) override;
    void valuesReloaded () override;
    void refreshEditor () override;
    void unsavedChange () override;

    VorlixInstrument core;
    std::unique_ptr<PresetAccess> presetAccess;
    // Plug views come and go; the binding keeps the screen model and renderer for the instance.
    // Declared last: the editor reads the instrument while it is built.
    VorlixEditorBinding editor;
};
