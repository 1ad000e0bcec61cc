// Private to the instrument's .cpp files: the two ways an engine change travels (handed off from
// the UI thread, or direct on the engine's owner) and the value logic shared by both.
#pragma once

#include "VorlixEngineOps.h"
#include "VorlixGenConvert.h"
#include "VorlixPresetBank.h"
#include "VorlixInstrument.h"

#include <cmath>

/** UI-thread writer: everything goes into the handoff. */
struct VorlixInstrument::HandoffWriter
{
    static constexpr bool onUiThread = true;
    VorlixInstrument& instrument;

    void setParam (int index, float plain)
    {
        instrument.handoff.setParam (index, plain);
        instrument.engineValues[static_cast<size_t> (index)].store (plain, std::memory_order_relaxed);
    }
    void releaseAll () { instrument.handoff.releaseAll (); }
    void resync () { instrument.handoff.resync (); }
    void setProgramName (int program) { instrument.handoff.setProgramName (program); }
    void setPreciseOscillators (bool on) { instrument.handoff.setPreciseOscillators (on); }
};

/** The engine owner's writer (the audio thread inside process ()): straight to the engine. */
struct VorlixInstrument::DirectWriter
{
    static constexpr bool onUiThread = false;
    VorlixInstrument& instrument;

    void setParam (int index, float plain)
    {
        instrument.engine->setParam (index, plain);
        instrument.engineValues[static_cast<size_t> (index)].store (plain, std::memory_order_relaxed);
    }
    void releaseAll () { VorlixEngineOps::releaseAll (*instrument.engine); }
    void resync () { VorlixEngineOps::resyncAllOscillators (*instrument.engine); }
    void setProgramName (int program) { VorlixEngineOps::setProgramName (*instrument.engine, program); }
    void setPreciseOscillators (bool on) { instrument.engine->setPreciseOscillators (on); }
};

/** One unit of UI-side change: serialised with other UI-side writers, published to the audio
    thread as a whole when the scope ends, and applied at once if the component is inactive. */
class VorlixInstrument::UiUnit
{
public:
    explicit UiUnit (VorlixInstrument& p)
    : instrument (p)
    , lock (p.uiMutex)
    , writer {p}
    {
        instrument.handoff.beginUnit ();
    }
    ~UiUnit ()
    {
        instrument.handoff.endUnit ();
        lock.unlock ();
        instrument.applyPendingIfInactive ();
    }
    UiUnit (const UiUnit&) = delete;
    UiUnit& operator= (const UiUnit&) = delete;

    HandoffWriter& out () { return writer; }

private:
    VorlixInstrument& instrument;
    std::unique_lock<std::mutex> lock;
    HandoffWriter writer;
};

template <class Writer>
int VorlixInstrument::applyValue (Writer& writer, int id, float v, ApplyMode mode, bool detuneStored)
{
    if (id < 0 || id >= kNumParams)
        return -1;
    // Hosts send every value they hold after loading a preset or reopening a project. Applying an
    // unchanged value again would not be harmless: a sync switch re-centres its detune and
    // resyncs the oscillators, and the unison-nice switch collapses the copies' detune factors, so
    // the sound would depend on how often and in which order a host sends its values.
    if (normalizedValues[static_cast<size_t> (id)].load (std::memory_order_relaxed) == v)
        return -1;
    normalizedValues[static_cast<size_t> (id)].store (v, std::memory_order_relaxed);
    if constexpr (Writer::onUiThread)
        if (listener)
            listener->valueChanged (id, v);

    if (id == kUseOscSync1 || id == kUseOscSync2)
    {
        writer.setParam (id, v < 0.5f ? 0.0f : 1.0f);
        int recentred = -1;
        // A switch edit re-centres its oscillator's detune (fully on gives 0). A restore keeps the
        // detune that was stored with the switch, or a saved sound would reopen altered.
        if (mode == ApplyMode::edit || !detuneStored)
        {
            recentred = id == kUseOscSync1 ? kOsc1Detune : kOsc2Detune;
            const float detune = (1.0f - v) * 0.5f;
            writer.setParam (recentred, detune);
            normalizedValues[static_cast<size_t> (recentred)].store (detune, std::memory_order_relaxed);
            if constexpr (Writer::onUiThread)
                if (listener)
                    listener->valueChanged (recentred, detune);
        }
        writer.resync ();
        return recentred;
    }
    writer.setParam (id, VorlixGenConvert::convertValue (id, v));
    return -1;
}

template <class Writer>
void VorlixInstrument::loadProgramWith (Writer& writer, int index)
{
    if (index < 0 || index >= num_programs)
        return;
    currentProgram.store (index, std::memory_order_relaxed);
    for (int id = 0; id < kNumParams; ++id)
    {
        const float v = VorlixPresetBank::programValue (index, id);
        normalizedValues[static_cast<size_t> (id)].store (v, std::memory_order_relaxed);
        if constexpr (Writer::onUiThread)
            if (listener)
                listener->valueChanged (id, v);
    }
    VorlixPresetBank::loadProgramInto (writer, index);
}
