// run () allocates nothing and locks nothing: notes, port changes, the UI's messages and the values
// it is sent back are all handled without operator new or a mutex. The UI's program picks and
// imported presets go to the host's worker, which does them after run () returns.
#include "Lv2TestHost.h"

#include "Vorlix307Lv2Uris.h"
#include "VorlixInstrumentState.h"
#include "VorlixParamID.h"

#include "AllocationCounting.h"

#include <lv2/atom/forge.h>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <pthread.h>

namespace {
std::atomic<long> locks {0};
} // namespace

// Stands in for the C library's, so a std::mutex taken in the plug-in during run () is counted
// (the executable exports its symbols, which the plug-in's binary binds to first).
extern "C" int pthread_mutex_lock (pthread_mutex_t* mutex)
{
    using Lock = int (*) (pthread_mutex_t*);
    static const Lock next = reinterpret_cast<Lock> (dlsym (RTLD_NEXT, "pthread_mutex_lock"));
    if (Counting::active ())
        locks.fetch_add (1, std::memory_order_relaxed);
    return next (mutex);
}

using namespace VorlixLv2Test;
using namespace VorlixLv2Ports;

TEST (Lv2Allocation, RunAllocatesNothing)
{
    Lv2World world;
    auto lv2 = Lv2Instance::create (world, VORLIX_LV2_URI, 48000.0, 256);
    ASSERT_TRUE (lv2);
    // Events are built before counting: the host's own buffers are not the plug-in's business.
    std::uint8_t buffer[1024];
    LV2_Atom_Forge forge;
    lv2_atom_forge_init (&forge, world.mapFeature ());
    lv2_atom_forge_set_buffer (&forge, buffer, sizeof buffer);
    LV2_Atom_Forge_Frame frame;
    auto* pick = reinterpret_cast<LV2_Atom*> (lv2_atom_forge_object (&forge, &frame, 0, world.map (VORLIX_LV2_TAG)));
    lv2_atom_forge_key (&forge, world.map (VORLIX_LV2_TAG_ID));
    lv2_atom_forge_int (&forge, kPresetListBox);
    lv2_atom_forge_key (&forge, world.map (VORLIX_LV2_TAG_VALUE));
    lv2_atom_forge_float (&forge, 5.0f);
    lv2_atom_forge_pop (&forge, &frame);
    VorlixInstrumentState::Record preset;
    preset.program = 9;
    preset.count = kNumParams;
    for (int id = 0; id < kNumParams; ++id)
        preset.values[id] = 0.25f;
    const auto bytes = VorlixInstrumentState::toBytes (preset);
    auto* imported = reinterpret_cast<LV2_Atom*> (lv2_atom_forge_object (&forge, &frame, 0, world.map (VORLIX_LV2_APPLY)));
    lv2_atom_forge_key (&forge, world.map (VORLIX_LV2_STATE));
    lv2_atom_forge_atom (&forge, static_cast<std::uint32_t> (bytes.size), world.map (LV2_ATOM__Chunk));
    lv2_atom_forge_write (&forge, bytes.data.data (), static_cast<std::uint32_t> (bytes.size));
    lv2_atom_forge_pop (&forge, &frame);
    ASSERT_NE (imported, nullptr) << "the forge's buffer is too small";
    const auto event = [] (const LV2_Atom* atom) {
        const auto* body = static_cast<const std::uint8_t*> (LV2_ATOM_BODY_CONST (atom));
        return Lv2Event {0, atom->type, {body, body + atom->size}};
    };
    const std::vector<std::vector<Lv2Event>> blocks = {
        {lv2->midi (0, 0x90, 48, 100), lv2->midi (10, 0x90, 55, 90), lv2->midi (200, 0x90, 60, 127)},
        {event (pick), event (imported)},
        {lv2->midi (3, 0x80, 48, 0), lv2->midi (100, 0x90, 55, 0)},
        {},
    };
    lv2->run (256); // anything done once on the first block
    for (int round = 0; round < 3; ++round)
        for (std::size_t b = 0; b < blocks.size (); ++b)
        {
            lv2->control (kFilt1Cutoff) = 0.1f * static_cast<float> (b + round);
            lv2->control (kUseOscSync1) = static_cast<float> ((b + round) % 2);
            lv2->queue (blocks[b]);
            locks = 0;
            long allocated = 0;
            {
                Counting counter;
                lv2->process (256);
                allocated = counter.count ();
            }
            lv2->collect ();
            EXPECT_EQ (allocated, 0) << "round " << round << ", block " << b;
            EXPECT_EQ (locks.load (), 0) << "round " << round << ", block " << b;
        }
    // Both messages took effect: through the worker, not lost on the way.
    EXPECT_EQ (lv2->workScheduled (), 6);
    EXPECT_EQ (lv2->control (kProgram), 9.0f);
}
