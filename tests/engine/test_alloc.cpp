// Real-time rule: rendering, note-on and note-off without delay allocate nothing. This binary
// counts allocations (AllocationCounting).
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "AllocationCounting.h"

#include "VorlixGenConvert.h"
#include "VorlixGenPolyphonic.h"
#include "VorlixParamID.h"


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
