// The instrument without any plug-in API: the engine, the authoritative normalized values of the
// 36 parameters, the built-in programs, the state and preset documents, note handling and the
// editor's commands. Each plug-in format is an adapter that translates its host's calls into these.
//
// Threads: the audio-thread side is AudioBlock (and nothing else); everything else runs on the
// user-interface thread unless it says "any thread". While the instrument is active the UI thread
// never touches the engine: its changes travel through a lock-free handoff that each AudioBlock
// applies first. While inactive they are applied at once. The audio thread takes no lock and
// never waits.
#pragma once

#include "VorlixEngineHandoff.h"
#include "VorlixInstrumentState.h"
#include "VorlixMidiInput.h"
#include "VorlixParameters.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class VorlixGenPolyphonic;

class VorlixInstrument
{
public:
    /** What the instrument tells its adapter, all on the UI thread. Each hook may be left as is. */
    class Listener
    {
    public:
        virtual ~Listener () = default;
        /** A value changed on the UI side (the adapter's own mirror of the values follows it).
            Called while the instrument's UI lock is held: it must not call back in. */
        virtual void valueChanged (int /*id*/, float /*value*/) {}
        /** A user's edit in the editor that the host records, for its undo and automation. */
        virtual void editPerformed (int /*id*/, float /*value*/) {}
        /** Every value may have changed (a program pick, a preset import): the host re-reads them. */
        virtual void valuesReloaded () {}
        /** Something the editor shows changed; an open editor pulls the values again. */
        virtual void refreshEditor () {}
        /** Something stored with the state but not a parameter changed: the project has unsaved work. */
        virtual void unsavedChange () {}
    };

    VorlixInstrument ();
    ~VorlixInstrument ();
    VorlixInstrument (const VorlixInstrument&) = delete;
    VorlixInstrument& operator= (const VorlixInstrument&) = delete;

    /** Before any other call; null for none. */
    void setListener (Listener* l) { listener = l; }

    //--- set-up (UI thread) -----------------------------------------------------------------------
    /** A fresh engine at the current rate, playing program 0 exactly as a pick loads it. */
    void initialize ();
    /** Rates at or below 1 kHz (and nonsense) mean 48 kHz; `maxBlock` bounds the 64-bit path's
        scratch (<= 0: a default). Not while active. */
    void setupProcessing (double sampleRate, int maxBlock);
    void setActive (bool state);
    float sampleRate () const { return processSampleRate; }

    //--- parameters ---------------------------------------------------------------------------------
    /** Any thread. 0 for IDs outside 0..35. */
    float normalizedParam (int id) const;
    /** UI thread. A host's value (clamped, NaN is 0): applied unless unchanged; the host is not told. */
    void setParamFromHost (int id, double value);
    /** UI thread. The single path by which a normalized value reaches the engine from the UI side;
        with notifyHost the change is reported as a user edit. */
    void applyNormalizedParam (int id, float value, bool notifyHost);

    //--- programs, presets and state (UI thread) -------------------------------------------------------
    /** Any thread. Index and name of the built-in program last loaded. */
    int currentProgramIndex () const { return currentProgram.load (std::memory_order_relaxed); }
    const char* currentProgramName () const;
    /** Program load without the host being told: currentProgram, values, engine. */
    void loadProgram (int index);
    /** A program pick as the editor's list makes it: notes stop, the host re-reads the values.
        Out-of-range and NaN rows are clamped to the nearest program. */
    void selectProgram (float row);
    /** The oscillator mode of this instance: precise (exact pitch, band-limited; what a new
        instance plays) or classic (what every state and preset without the setting plays).
        Stored with the state and the preset document; not a host parameter. */
    void setPreciseOscillators (bool on);
    /** Any thread. */
    bool preciseOscillators () const { return precise.load (std::memory_order_relaxed); }
    /** The editor's command entry: parameter tags 0..35, kSyncNow1/2, kPresetListBox. */
    void handleUiControlTag (int tag, float value);

    VorlixInstrumentState::Record stateRecord () const;
    /** Applies a record as one unit: its program, then the values it holds. False when the
        record was incomplete (what it held is applied all the same). */
    bool restoreState (const VorlixInstrumentState::Record& record);
    std::string exportPresetJson () const;
    /** False (nothing changed) for anything but a preset document of this instrument. */
    bool importPresetJson (const std::string& text);

    //--- audio thread -------------------------------------------------------------------------------
    /** One block on the audio thread: owns the engine for its scope and applies the UI side's
        changes first. Then, in this order: parameter values, note events, audio. */
    class AudioBlock
    {
    public:
        explicit AudioBlock (VorlixInstrument& instrument);
        ~AudioBlock ();
        AudioBlock (const AudioBlock&) = delete;
        AudioBlock& operator= (const AudioBlock&) = delete;

        /** False only when a host breaks the threading rules (processing during a set-up call):
            the block must then output silence and call nothing else. */
        bool ownsEngine () const { return owned; }
        /** A host's value (clamped, NaN is 0). */
        void setParam (int id, double value);
        /** MIDI pitch 0..127 (others are ignored), velocity 0..1. */
        void noteOn (int pitch, double velocity);
        void noteOff (int pitch);
        /** The wheel, -1..1 with 0 exactly centre (clamped, NaN is centre). */
        void pitchBend (double position);
        /** A MIDI control change, value 0..127: CC 64, 120, 121, 123 and RPN 0 (VorlixMidiInput). */
        void controlChange (int controller, int value);
        /** One short raw MIDI message (a format that carries MIDI bytes, LV2 or JACK). */
        void midiMessage (const std::uint8_t* bytes, int size);
        void render (float* left, float* right, int frames);
        /** Rendered in single precision and widened. */
        void render (double* left, double* right, int frames);

        /** Sample-accurate playing: give the block's output once, then before each timed input
            renderUntil (its offset), and renderUntil (frames) at the end. Offsets at or before
            what is rendered render nothing; beyond the block they stop at its end. With no output
            (null buffers) the inputs still apply. */
        void setOutput (float* left, float* right, int frames);
        void setOutput (double* left, double* right, int frames);
        void renderUntil (int offset);
        /** Detunes a sync switch re-centred that the host has not heard of yet: `report` (id,
            value) returns whether it could pass the value on; what it could not stays for the
            next block. */
        template <class Report>
        void reportRecentredDetunes (Report&& report);

    private:
        void startOutput (int frames);

        VorlixInstrument& instrument;
        bool owned = false;
        unsigned recentred = 0;
        float* outLeft = nullptr;
        float* outRight = nullptr;
        double* outLeft64 = nullptr;
        double* outRight64 = nullptr;
        int outFrames = 0;
        int rendered = 0;
        unsigned savedMxcsr = 0;
    };

    //--- inspection ---------------------------------------------------------------------------------
    /** Any thread. Sounding voices after the last block (or the last change while inactive). */
    int activeVoiceCount () const;
    /** The engine, for inspection while no AudioBlock can run (inactive, or tests). */
    const VorlixGenPolyphonic& engineWhileIdle () const { return *engine; }

private:
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
    static constexpr unsigned detuneBit (int detuneId) { return detuneId == kOsc1Detune ? 1u : 2u; }
    void applyPendingIfInactive ();
    /** Blocks the caller (UI thread) until it owns the engine; for set-up calls only. */
    void acquireEngine ();
    bool tryAcquireEngine ();
    void releaseEngine ();
    void updateVoiceCount ();
    void refreshEditor ();

    Listener* listener = nullptr;
    std::unique_ptr<VorlixGenPolyphonic> engine;
    std::array<std::atomic<float>, kNumParams> normalizedValues {};
    float processSampleRate = 48000.0f;
    std::atomic<int> currentProgram {0};
    std::atomic<bool> precise {true};

    VorlixEngineHandoff handoff;
    // The plain value each engine index last received or will receive from the handoff; the
    // oscillator-detune copy commands read it.
    std::array<std::atomic<float>, VorlixEngineHandoff::kNumIndices> engineValues {};
    // The wheel, its range, the pedal: the engine's owner only. Never stored: a fresh instance
    // starts centred with the pedal up.
    VorlixMidiInput midi;
    std::atomic<bool> active {false};
    std::atomic<bool> engineBusy {false};
    std::atomic<int> voiceCount {0};
    // Detunes (bit 0: oscillator 1, bit 1: oscillator 2) that a sync switch re-centred without the
    // host being told; the next block reports them.
    std::atomic<unsigned> unreportedDetunes {0};
    // Serialises UI-side writers with each other; the audio thread never takes it.
    mutable std::mutex uiMutex;
    // 64-bit output path: the engine renders in single precision into these, then widens.
    std::vector<float> scratchLeft;
    std::vector<float> scratchRight;
};

template <class Report>
void VorlixInstrument::AudioBlock::reportRecentredDetunes (Report&& report)
{
    if (recentred == 0)
        return;
    for (const int detuneId : {kOsc1Detune, kOsc2Detune})
        if ((recentred & detuneBit (detuneId)) && report (detuneId, instrument.normalizedParam (detuneId)))
            recentred &= ~detuneBit (detuneId);
    // No room this time (or nowhere to report at all): a later block tries again.
    if (recentred != 0)
        instrument.unreportedDetunes.fetch_or (recentred, std::memory_order_relaxed);
    recentred = 0;
}
