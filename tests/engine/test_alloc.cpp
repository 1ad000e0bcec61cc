// Real-time rule: rendering, note-on and note-off without delay allocate nothing. This binary
// replaces the global allocation functions (and wraps malloc at link time) to count calls.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "VorlixGenConvert.h"
#include "VorlixGenPolyphonic.h"
#include "VorlixParamID.h"

namespace {
std::atomic<long> allocations{0};
std::atomic<bool> counting{false};

void* countedAlloc(std::size_t size)
{
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    return p;
}
} // namespace

void* operator new(std::size_t size) { return countedAlloc(size); }
void* operator new[](std::size_t size) { return countedAlloc(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try { return countedAlloc(size); } catch (...) { return nullptr; }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    try { return countedAlloc(size); } catch (...) { return nullptr; }
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

// Direct C allocations from the engine's objects (linked with --wrap).
extern "C" {
void* __real_malloc(std::size_t);
void* __real_calloc(std::size_t, std::size_t);
void* __real_realloc(void*, std::size_t);
void* __wrap_malloc(std::size_t size)
{
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
    return __real_malloc(size);
}
void* __wrap_calloc(std::size_t n, std::size_t size)
{
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
    return __real_calloc(n, size);
}
void* __wrap_realloc(void* p, std::size_t size)
{
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
    return __real_realloc(p, size);
}
}

namespace {
struct Counting
{
    Counting() { allocations = 0; counting = true; }
    ~Counting() { counting = false; }
    long count() const { return allocations.load(); }
};
} // namespace

TEST(RealTime, RenderingAndNotesAllocateNothing)
{
    // The counter itself must see allocations, or the test proves nothing.
    {
        Counting probe;
        std::vector<int>* v = new std::vector<int>(100);
        delete v;
        void* raw = std::malloc(16);
        std::free(raw);
        ASSERT_GE(probe.count(), 3);
    }

    for (const bool precise : {false, true})
    {
        SCOPED_TRACE(precise ? "precise oscillators" : "classic oscillators");
        VorlixGenPolyphonic engine;
        engine.setPreciseOscillators(precise);
        engine.setSampleRate(48000.0f);
        engine.setParam(kUseUnison, 2.0f);
        engine.setParam(kOsc2WaveType, 5.5f);
        engine.setParam(kUseOscSync1, 1.0f);
        engine.setParam(kSubOscLevel, 1.0f);
        engine.setParam(kDistortionType, 1.0f);
        engine.setParam(kSyncOnTrigger, 1.0f);
        std::vector<float> left(512), right(512);
        ASSERT_TRUE(engine.voiceBank.delayedNotes.empty());

        Counting counter;
        for (int block = 0; block < 200; ++block)
        {
            const int note = 36 + (block * 7) % 48;
            engine.voiceBank.Add(true, float(note) * 0.083333336f, 0.9f, 0, 0);
            if (block % 3 == 0)
                engine.voiceBank.Release(float(note - 14) * 0.083333336f, 0);
            engine.setPitchBend(float(block % 9) - 4.0f);
            engine.setSustain(block % 10 < 5);
            const long frames = 1 + (block * 37) % 512;
            engine.processReplacingT<float>(left.data(), right.data(), 1, frames, true);
            engine.setParam(kFilt1Cutoff, VorlixGenConvert::convertValue(kFilt1Cutoff, float(block % 10) / 10.0f));
            if (block == 100) // the mode switches in the middle of playing notes
                engine.setPreciseOscillators(!precise);
        }
        engine.voiceBank.ReleaseAll(false);
        engine.processReplacingT<float>(left.data(), right.data(), 1, 512, true);
        engine.voiceBank.ReleaseAll(true);
        engine.processReplacingT<float>(left.data(), right.data(), 1, 512, true);
        EXPECT_EQ(counter.count(), 0);
    }
}
