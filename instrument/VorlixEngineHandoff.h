// Lock-free handoff of engine changes from the user-interface thread to the thread that owns the
// engine. Changes are grouped into units (one parameter edit, a program load, a whole state
// restore); the consumer applies a unit completely or not at all, so no block renders half of one.
//
// The producer never waits and never drops a change: instead of a bounded queue, the handoff holds
// the newest plain value per engine parameter index, stamped with a running write number. The
// consumer applies everything written since its last drain in write order, so the engine ends in
// the same state as if every change had been applied one by one.
#pragma once

#include <atomic>
#include <cstdint>

class VorlixGenPolyphonic;

class VorlixEngineHandoff
{
public:
    /** Engine parameter indices carried: 0..37 (the host parameters and kPan). */
    static constexpr int kNumIndices = 38;

    // Producer side: one writer at a time (the component serialises its UI-thread callers).
    /** Opens a unit; every change until endUnit becomes visible to the consumer at once. */
    void beginUnit ();
    void endUnit ();
    void setParam (int index, float plain);
    /** Asks for VoiceBank::ReleaseAll(true); it runs before the unit's parameter changes. */
    void releaseAll ();
    /** Asks for every bank voice's oscillators to be resynchronised after the parameters. */
    void resync ();
    void setProgramName (int program);
    void setSampleRate (float rate);
    /** The oscillator mode (VorlixGenPolyphonic::setPreciseOscillators). */
    void setPreciseOscillators (bool on);

    /** Consumer side (whoever owns the engine at the moment). Applies what was published since the
        last drain. Returns false when a unit was being written; it is picked up next time. */
    bool drain (VorlixGenPolyphonic& engine);
    /** True when something was published that no drain has applied yet. */
    bool hasPending () const;

private:
    static constexpr int kSampleRateSlot = kNumIndices;
    static constexpr int kProgramNameSlot = kNumIndices + 1;
    static constexpr int kOscillatorModeSlot = kNumIndices + 2;
    static constexpr int kNumSlots = kNumIndices + 3;

    struct Slot
    {
        std::atomic<float> value {0.0f};
        std::atomic<std::uint64_t> stamp {0};
    };

    void write (int slot, float value);

    // Even while no unit is open; odd while one is written.
    std::atomic<std::uint64_t> sequence {0};
    std::atomic<std::uint64_t> lastStamp {0};
    Slot slots[kNumSlots];
    std::atomic<std::uint32_t> releaseAllCount {0};
    std::atomic<std::uint32_t> resyncCount {0};

    // Consumer-private: touched only by the engine's current owner.
    // appliedSequence is also read by hasPending () from any thread.
    std::atomic<std::uint64_t> appliedSequence {0};
    std::uint64_t appliedStamp = 0;
    std::uint32_t appliedReleaseAll = 0;
    std::uint32_t appliedResync = 0;
};
