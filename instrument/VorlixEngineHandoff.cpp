// Sequence-lock publication of the newest engine values; see the header for the contract.
#include "VorlixEngineHandoff.h"

#include "VorlixEngineOps.h"

void VorlixEngineHandoff::beginUnit ()
{
    const std::uint64_t s = sequence.load (std::memory_order_relaxed);
    sequence.store (s + 1, std::memory_order_relaxed);
    // Orders the odd sequence before the unit's writes, as a reader sees them.
    std::atomic_thread_fence (std::memory_order_release);
}

void VorlixEngineHandoff::endUnit ()
{
    const std::uint64_t s = sequence.load (std::memory_order_relaxed);
    sequence.store (s + 1, std::memory_order_release);
}

void VorlixEngineHandoff::write (int slot, float value)
{
    const std::uint64_t stamp = lastStamp.load (std::memory_order_relaxed) + 1;
    lastStamp.store (stamp, std::memory_order_relaxed);
    slots[slot].value.store (value, std::memory_order_relaxed);
    slots[slot].stamp.store (stamp, std::memory_order_relaxed);
}

void VorlixEngineHandoff::setParam (int index, float plain)
{
    if (index >= 0 && index < kNumIndices)
        write (index, plain);
}

void VorlixEngineHandoff::releaseAll ()
{
    releaseAllCount.fetch_add (1, std::memory_order_relaxed);
}

void VorlixEngineHandoff::resync ()
{
    resyncCount.fetch_add (1, std::memory_order_relaxed);
}

void VorlixEngineHandoff::setProgramName (int program)
{
    write (kProgramNameSlot, static_cast<float> (program));
}

void VorlixEngineHandoff::setSampleRate (float rate)
{
    write (kSampleRateSlot, rate);
}

void VorlixEngineHandoff::setPreciseOscillators (bool on)
{
    write (kOscillatorModeSlot, on ? 1.0f : 0.0f);
}

bool VorlixEngineHandoff::hasPending () const
{
    return sequence.load (std::memory_order_acquire) != appliedSequence.load (std::memory_order_relaxed);
}

bool VorlixEngineHandoff::drain (VorlixGenPolyphonic& engine)
{
    const std::uint64_t before = sequence.load (std::memory_order_acquire);
    if (before == appliedSequence.load (std::memory_order_relaxed))
        return true;
    if (before & 1u)
        return false;

    struct Change
    {
        std::uint64_t stamp;
        int slot;
        float value;
    };
    Change changes[kNumSlots];
    int count = 0;
    for (int i = 0; i < kNumSlots; ++i)
    {
        const std::uint64_t stamp = slots[i].stamp.load (std::memory_order_relaxed);
        if (stamp > appliedStamp)
            changes[count++] = Change {stamp, i, slots[i].value.load (std::memory_order_relaxed)};
    }
    const std::uint32_t releaseAllWanted = releaseAllCount.load (std::memory_order_relaxed);
    const std::uint32_t resyncWanted = resyncCount.load (std::memory_order_relaxed);
    const std::uint64_t newestStamp = lastStamp.load (std::memory_order_relaxed);
    std::atomic_thread_fence (std::memory_order_acquire);
    if (sequence.load (std::memory_order_relaxed) != before)
        return false; // a unit began meanwhile: what was read may be torn

    // Write order: a later change may depend on an earlier one (a sync switch after a detune,
    // the unison mode resetting detune factors), so replay the newest values oldest first.
    for (int i = 1; i < count; ++i)
    {
        const Change c = changes[i];
        int j = i;
        for (; j > 0 && changes[j - 1].stamp > c.stamp; --j)
            changes[j] = changes[j - 1];
        changes[j] = c;
    }

    if (releaseAllWanted != appliedReleaseAll)
        VorlixEngineOps::releaseAll (engine);
    for (int i = 0; i < count; ++i)
    {
        const Change& c = changes[i];
        if (c.slot < kNumIndices)
            engine.setParam (c.slot, c.value);
        else if (c.slot == kSampleRateSlot)
            engine.setSampleRate (c.value);
        else if (c.slot == kOscillatorModeSlot)
            engine.setPreciseOscillators (c.value != 0.0f);
        else
            VorlixEngineOps::setProgramName (engine, static_cast<int> (c.value));
    }
    if (resyncWanted != appliedResync)
        VorlixEngineOps::resyncAllOscillators (engine);

    appliedSequence.store (before, std::memory_order_relaxed);
    appliedStamp = newestStamp;
    appliedReleaseAll = releaseAllWanted;
    appliedResync = resyncWanted;
    return true;
}
