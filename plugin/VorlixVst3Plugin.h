// The instrument as the host sees it: one object that is component, audio processor and edit
// controller, owning the engine and the authoritative normalized parameter values.
//
// Threads: process () runs on the host's audio thread; everything else (setParamNormalized,
// setState/getState, editor commands, preset import and export) on its user-interface thread.
// While the component is active the UI thread never touches the engine: its changes travel through
// a lock-free handoff that process () applies before each block. While inactive they are applied
// at once. The audio thread takes no lock and never waits.
#pragma once

#include "IVorlixPresetAccess.h"
#include "VorlixEngineHandoff.h"
#include "VorlixMidiInput.h"
#include "VorlixParamID.h"
#include "vst3/SingleComponentEffect.h"

#include "editor/VorlixEditor.h"
#include "vexagui/render/opengl/VexaRendererOpenGL.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstevents.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class VorlixGenPolyphonic;

class VorlixVst3Plugin : public Steinberg::Vst::SingleComponentEffect, public Steinberg::Vst::IMidiMapping
{
public:
    VorlixVst3Plugin ();
    ~VorlixVst3Plugin () override;

    /** Factory create function: a new instance as its IAudioProcessor. */
    static Steinberg::FUnknown* createInstance (void* context);

    //--- host-facing ----------------------------------------------------------------------------
    Steinberg::tresult PLUGIN_API initialize (Steinberg::FUnknown* context) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API terminate () SMTG_OVERRIDE;
    /** UI thread. */
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

    /** Any thread. Pitch bend and CC 64, 120, 121, 123 on every channel of the one event bus. */
    Steinberg::tresult PLUGIN_API getMidiControllerAssignment (Steinberg::int32 busIndex, Steinberg::int16 channel,
                                                               Steinberg::Vst::CtrlNumber midiControllerNumber,
                                                               Steinberg::Vst::ParamID& id) SMTG_OVERRIDE;

    Steinberg::tresult PLUGIN_API queryInterface (const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
    REFCOUNT_METHODS (SingleComponentEffect)

    //--- own operations -------------------------------------------------------------------------
    void initializeParameters ();
    /** UI thread. The single path by which a normalized value reaches the engine from the UI side;
        with notifyHost the change is reported as a user edit. */
    void applyNormalizedParam (int id, float value, bool notifyHost);
    /** UI thread. The editor's command entry: parameter tags 0..35, kSyncNow1/2, kPresetListBox. */
    void handleUiControlTag (int tag, float value);
    /** Any thread. 0 for IDs outside 0..35. */
    float normalizedParam (int id) const;
    /** Any thread. Sounding voices after the last block (or the last change while inactive). */
    int activeVoiceCount () const;
    /** Any thread. Index and name of the built-in program last loaded. */
    int currentProgramIndex () const { return currentProgram.load (std::memory_order_relaxed); }
    const char* currentProgramName () const;
    /** Audio thread (the engine's owner): one note event, as the event step of process (). */
    void handleEvent (const Steinberg::Vst::Event& event);
    /** Audio thread: render one block into two channels (nothing for null channels or frames <= 0). */
    void renderFloat (float** channels, int frames);
    void renderDouble (double** channels, int frames);
    /** UI thread. The single editor refresh hook. */
    void syncGuiFromHost ();
    /** UI thread. Component-level program load: currentProgram, values, controller, engine. */
    void loadProgram (int index);
    /** The engine, for inspection while no process () call can run (inactive, or tests). */
    const VorlixGenPolyphonic& engineWhileIdle () const { return *engine; }
    /** UI thread. The editor model once a view was asked for (null before), for inspection. */
    const Vorlix::VorlixEditor* editorModelIfBuilt () const { return editor.get (); }
    /** UI thread. */
    std::string exportPresetJson () const;
    bool importPresetJson (const std::string& text);

private:
    class PresetAccess;
    struct TimedInput;
    struct HandoffWriter;
    struct DirectWriter;
    class UiUnit;
    enum class ApplyMode
    {
        edit,    // a user's or host's own change: a sync switch resets its detune
        restore, // a stored state or preset: stored detunes win over the switch's reset
    };

    /** Applies a value that differs from the one held (an equal one changes nothing). Returns the
        detune ID that a sync switch re-centred, or -1. */
    template <class Writer>
    int applyValue (Writer& writer, int id, float value, ApplyMode mode, bool detuneStored);
    template <class Writer>
    void loadProgramWith (Writer& writer, int index);
    void copyDetune (int fromId, int toId);
    /** UI thread: one component-side change reported to the host as a complete edit. */
    void reportEdit (int id, float value);
    void notifyHostOfNewValues ();
    static constexpr unsigned detuneBit (int detuneId) { return detuneId == kOsc1Detune ? 1u : 2u; }
    /** Audio thread: the current values of the detunes in `detunes` as output parameter changes;
        what finds no room stays for the next block. */
    void reportDetunes (Steinberg::Vst::IParameterChanges* out, unsigned detunes);
    /** Applies pending UI changes at once if the audio thread cannot be running (inactive). */
    void applyPendingIfInactive ();
    /** Blocks the caller (UI thread) until it owns the engine; for set-up calls only. */
    void acquireEngine ();
    bool tryAcquireEngine ();
    void releaseEngine ();
    void updateVoiceCount ();

    std::unique_ptr<VorlixGenPolyphonic> engine;
    std::array<std::atomic<float>, kNumParams> normalizedValues {};
    float processSampleRate = 48000.0f;
    std::atomic<Steinberg::int32> currentProgram {0};

    VorlixEngineHandoff handoff;
    // The plain value each engine index last received or will receive from the handoff; the
    // oscillator-detune copy commands read it.
    std::array<std::atomic<float>, VorlixEngineHandoff::kNumIndices> engineValues {};
    std::atomic<bool> active {false};
    std::atomic<bool> engineBusy {false};
    std::atomic<int> voiceCount {0};
    // Detunes (bit 0: oscillator 1, bit 1: oscillator 2) that a sync switch re-centred without the
    // host being told; the next block reports them as output parameter changes.
    std::atomic<unsigned> unreportedDetunes {0};
    // Serialises UI-side writers with each other; the audio thread never takes it.
    mutable std::mutex uiMutex;
    // 64-bit output path: the engine renders in single precision into these, then widens.
    std::vector<float> scratchLeft;
    std::vector<float> scratchRight;

    // The wheel, its range, the pedal: audio thread (or whoever owns the engine). Never stored.
    VorlixMidiInput midi;

    std::unique_ptr<PresetAccess> presetAccess;

    // The editor model is built when the host first asks for a view (most instances of a project
    // never show one) and then lives as long as the component, as does the renderer; plug views
    // come and go. UI thread only. Declared last: the editor reads the values above while it is
    // built.
    static Vorlix::VorlixEditor::HostCallbacks makeHostCallbacks (VorlixVst3Plugin* plugin);
    Vorlix::VorlixEditor& editorModel ();
    std::unique_ptr<Vorlix::VorlixEditor> editor;
    vexagui::VexaRendererOpenGL renderer;
};
