// Private to the component's .cpp files: the two ways an engine change travels (handed off from
// the UI thread, or direct on the engine's owner) and the value logic shared by both.
#pragma once

#include "VorlixEngineOps.h"
#include "VorlixGenConvert.h"
#include "VorlixPresetBank.h"
#include "VorlixVst3Plugin.h"

#include <cmath>

namespace VorlixValues {

/** A normalized value as it enters the component: clamped to 0..1 before it is narrowed, the
    infinities included (+inf is simply far above the range); NaN, which has no place in the
    range, becomes 0. */
inline float toUnit (double v)
{
    if (std::isnan (v))
        return 0.0f;
    return v > 0.0 ? (v < 1.0 ? static_cast<float> (v) : 1.0f) : 0.0f;
}

} // namespace VorlixValues

/** UI-thread writer: everything goes into the handoff. */
struct VorlixVst3Plugin::HandoffWriter
{
    static constexpr bool onUiThread = true;
    VorlixVst3Plugin& plugin;

    void setParam (int index, float plain)
    {
        plugin.handoff.setParam (index, plain);
        plugin.engineValues[static_cast<size_t> (index)].store (plain, std::memory_order_relaxed);
    }
    void releaseAll () { plugin.handoff.releaseAll (); }
    void resync () { plugin.handoff.resync (); }
    void setProgramName (int program) { plugin.handoff.setProgramName (program); }
    void setPreciseOscillators (bool on) { plugin.handoff.setPreciseOscillators (on); }
};

/** The engine owner's writer (the audio thread inside process ()): straight to the engine. */
struct VorlixVst3Plugin::DirectWriter
{
    static constexpr bool onUiThread = false;
    VorlixVst3Plugin& plugin;

    void setParam (int index, float plain)
    {
        plugin.engine->setParam (index, plain);
        plugin.engineValues[static_cast<size_t> (index)].store (plain, std::memory_order_relaxed);
    }
    void releaseAll () { VorlixEngineOps::releaseAll (*plugin.engine); }
    void resync () { VorlixEngineOps::resyncAllOscillators (*plugin.engine); }
    void setProgramName (int program) { VorlixEngineOps::setProgramName (*plugin.engine, program); }
    void setPreciseOscillators (bool on) { plugin.engine->setPreciseOscillators (on); }
};

/** One unit of UI-side change: serialised with other UI-side writers, published to the audio
    thread as a whole when the scope ends, and applied at once if the component is inactive. */
class VorlixVst3Plugin::UiUnit
{
public:
    explicit UiUnit (VorlixVst3Plugin& p)
    : plugin (p)
    , lock (p.uiMutex)
    , writer {p}
    {
        plugin.handoff.beginUnit ();
    }
    ~UiUnit ()
    {
        plugin.handoff.endUnit ();
        lock.unlock ();
        plugin.applyPendingIfInactive ();
    }
    UiUnit (const UiUnit&) = delete;
    UiUnit& operator= (const UiUnit&) = delete;

    HandoffWriter& out () { return writer; }

private:
    VorlixVst3Plugin& plugin;
    std::unique_lock<std::mutex> lock;
    HandoffWriter writer;
};

/** The private program and preset interface for the project's own tools, handed out by
    queryInterface. It shares the component's reference count and identity. */
class VorlixVst3Plugin::PresetAccess : public Vorlix::IVorlixPresetAccess
{
public:
    explicit PresetAccess (VorlixVst3Plugin& p) : plugin (p) {}
    virtual ~PresetAccess () = default;

    Steinberg::tresult PLUGIN_API queryInterface (const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API addRef () SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API release () SMTG_OVERRIDE;

    Steinberg::int32 PLUGIN_API getProgramCount () SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getProgramName (Steinberg::int32 index, Steinberg::char8* name,
                                                 Steinberg::int32 size) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API selectProgram (Steinberg::int32 index) SMTG_OVERRIDE;
    Steinberg::int32 PLUGIN_API getCurrentProgram () SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API exportPreset (Steinberg::char8* text, Steinberg::int32 size,
                                               Steinberg::int32* needed) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API importPreset (const Steinberg::char8* text, Steinberg::int32 length) SMTG_OVERRIDE;

private:
    VorlixVst3Plugin& plugin;
};

template <class Writer>
int VorlixVst3Plugin::applyValue (Writer& writer, int id, float v, ApplyMode mode, bool detuneStored)
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
        EditController::setParamNormalized (static_cast<Steinberg::Vst::ParamID> (id), v);

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
                EditController::setParamNormalized (static_cast<Steinberg::Vst::ParamID> (recentred), detune);
        }
        writer.resync ();
        return recentred;
    }
    writer.setParam (id, VorlixGenConvert::convertValue (id, v));
    return -1;
}

template <class Writer>
void VorlixVst3Plugin::loadProgramWith (Writer& writer, int index)
{
    if (index < 0 || index >= num_programs)
        return;
    currentProgram.store (index, std::memory_order_relaxed);
    for (int id = 0; id < kNumParams; ++id)
    {
        const float v = VorlixPresetBank::programValue (index, id);
        normalizedValues[static_cast<size_t> (id)].store (v, std::memory_order_relaxed);
        if constexpr (Writer::onUiThread)
            EditController::setParamNormalized (static_cast<Steinberg::Vst::ParamID> (id), v);
    }
    VorlixPresetBank::loadProgramInto (writer, index);
}
