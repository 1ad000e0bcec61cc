// The engine as the plug-in drives it: notes in, blocks out, the control-rate split, polyphony
// changes, buffer handling, and finite output over every rate, note and knob position.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "VorlixGenConvert.h"
#include "VorlixGenPolyphonic.h"
#include "VorlixParamID.h"

namespace {

float cv(int note) { return float(note) * 0.083333336f; }

struct Block
{
    std::vector<float> left, right;
};

Block render(VorlixGenPolyphonic& e, long frames)
{
    Block b{std::vector<float>(frames), std::vector<float>(frames)};
    e.processReplacingT<float>(b.left.data(), b.right.data(), 1, frames, true);
    return b;
}

float peak(const std::vector<float>& v)
{
    float p = 0.0f;
    for (float x : v)
        p = std::max(p, std::fabs(x));
    return p;
}

// Monophonic legato with a slow slide, gliding from A to B: every control update moves the pitch.
void startGlide(VorlixGenPolyphonic& e)
{
    e.setSampleRate(48000.0f);
    e.setParam(kMaxPoly, 1.0f);
    e.setParam(kUseLegato, 1.0f);
    e.setParam(kSlideTime, 0.3f);
    e.voiceBank.Add(true, cv(48), 1.0f, 0, 0);
    render(e, 4800);
    e.voiceBank.Add(true, cv(60), 1.0f, 0, 0);
    render(e, 64); // the oscillators now trail the moving pitch by one update
}

VorlixGenVoice& firstVoice(VorlixGenPolyphonic& e) { return e.voiceBank.voices[e.voiceBank.order[0]]; }

// Mean period in samples between rising zero crossings, interpolated between samples.
double meanPeriod(const std::vector<float>& v)
{
    double first = -1.0, last = -1.0;
    int crossings = 0;
    for (std::size_t k = 1; k < v.size(); ++k)
        if (v[k - 1] < 0.0f && v[k] >= 0.0f)
        {
            const double at = double(k - 1) + double(v[k - 1]) / double(v[k - 1] - v[k]);
            if (first < 0.0)
                first = at;
            last = at;
            ++crossings;
        }
    return crossings > 1 ? (last - first) / (crossings - 1) : 0.0;
}

// A sine note, the wheel moved while it sounds, then its period measured over two seconds.
double periodWithBend(int note, float semitones)
{
    VorlixGenPolyphonic e;
    e.setSampleRate(192000.0f);
    e.setParam(kOsc1WaveType, 3.0f); // sine
    e.setParam(kOsc2WaveType, 3.0f);
    e.setParam(kFilt2Cutoff, 0.0f); // clean
    // Low notes at a high rate: periods of thousands of samples, so that the whole-sample period
    // rule stays within a quarter cent over the two octaves either side of note 24.
    e.voiceBank.Add(true, cv(note), 1.0f, 0, 0);
    render(e, 19200);
    e.setPitchBend(semitones);
    render(e, 19200);
    return meanPeriod(render(e, 384000).left);
}

} // namespace

TEST(Polyphonic, NoteSoundsAndReleasesToSilence)
{
    VorlixGenPolyphonic e;
    e.setSampleRate(48000.0f);
    e.voiceBank.Add(true, cv(60), 1.0f, 0, 0);
    Block b = render(e, 4800);
    EXPECT_GT(peak(b.left), 0.01f);
    EXPECT_EQ(e.activeVoiceCount(), 1);
    e.voiceBank.Release(cv(60), 0);
    render(e, 48000); // release 0.2 s
    EXPECT_EQ(e.activeVoiceCount(), 0);
    b = render(e, 256);
    EXPECT_EQ(peak(b.left), 0.0f);
    EXPECT_EQ(peak(b.right), 0.0f);
}

TEST(Polyphonic, ControlUpdatesKeepTheirPhaseAcrossBlocks)
{
    // An update runs before every 16th sample of the stream, counted from the first block.
    struct Row { std::vector<long> blocks; int updates; };
    const Row rows[] = {
        {{15}, 1}, {{16}, 1}, {{17}, 2}, {{1}, 1}, {{32}, 2}, {{15, 1}, 1}, {{15, 2}, 2},
        {{8, 8, 8}, 2}, {{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 2}, {{5, 100, 3}, 7},
    };
    for (const Row& r : rows)
    {
        VorlixGenPolyphonic e;
        startGlide(e);
        float pitch = firstVoice(e).currentPitch;
        for (long frames : r.blocks)
            render(e, frames);
        // Each update moves the pitch once; count them by replaying the glide step.
        const float k = firstVoice(e).slideCoef * (16.0f / 48000.0f) * 2756.25f;
        for (int i = 0; i < r.updates; ++i)
            pitch = syn::Math::smoothGoal(pitch, cv(60), k);
        EXPECT_EQ(firstVoice(e).currentPitch, pitch) << r.blocks.size() << " blocks, first " << r.blocks[0];
    }
    // However the 40 samples are cut, they are the same samples.
    std::vector<float> whole;
    for (const std::vector<long>& cuts : {std::vector<long>{40}, {4, 16, 20}, {16, 4, 20}, {1, 38, 1}, {13, 13, 14}})
    {
        VorlixGenPolyphonic e;
        startGlide(e);
        std::vector<float> joined;
        for (long frames : cuts)
        {
            const Block b = render(e, frames);
            joined.insert(joined.end(), b.left.begin(), b.left.end());
        }
        if (whole.empty())
            whole = joined;
        EXPECT_EQ(joined, whole) << "first cut " << cuts[0];
    }
}

TEST(Polyphonic, PitchBendMovesTheMeasuredFundamental)
{
    const double unbent = periodWithBend(24, 0.0f);
    ASSERT_GT(unbent, 0.0);
    for (float semitones : {2.0f, -2.0f, 0.5f})
    {
        const double cents = 1200.0 * std::log2(unbent / periodWithBend(24, semitones));
        EXPECT_NEAR(cents, 100.0 * semitones, 1.0) << semitones << " semitones";
    }
    // Bent by whole semitones, a note sounds like the key that far away, whatever the tuning
    // curve's own error there.
    for (int semitones : {12, -12, 24, -24, 7})
    {
        const double cents = 1200.0 * std::log2(periodWithBend(24 + semitones, 0.0f) / periodWithBend(24, float(semitones)));
        EXPECT_NEAR(cents, 0.0, 0.5) << semitones << " semitones";
    }
}

TEST(Polyphonic, PitchBendGlidesToTheWheelAndCentreIsExact)
{
    VorlixGenPolyphonic e;
    e.setSampleRate(48000.0f);
    e.voiceBank.Add(true, cv(60), 1.0f, 0, 0);
    render(e, 480);
    const float base = firstVoice(e).osc[0].pitch;
    // A jump of the wheel is spread over several control steps (no zipper), none backwards.
    for (float semitones : {2.0f, 0.0f})
    {
        e.setPitchBend(semitones);
        const float goal = base + semitones * 0.083333336f;
        float previous = firstVoice(e).osc[0].pitch;
        int steps = 0;
        while (firstVoice(e).osc[0].pitch != goal && steps < 1000)
        {
            render(e, 16);
            const float now = firstVoice(e).osc[0].pitch;
            EXPECT_LE(std::fabs(now - previous), 0.2f * (2.0f / 12.0f)) << "step " << steps;
            EXPECT_LE(std::fabs(goal - now), std::fabs(goal - previous));
            previous = now;
            ++steps;
        }
        EXPECT_GT(steps, 5) << semitones;
        EXPECT_LT(steps, 150) << semitones; // settled within 50 ms
        EXPECT_EQ(firstVoice(e).osc[0].pitch, goal) << "exactly back at the key's pitch";
    }
    // A note started later starts at the wheel's position, without a swoop.
    e.setPitchBend(-2.0f);
    render(e, 16);
    e.voiceBank.Add(true, cv(64), 1.0f, 0, 0);
    const VorlixGenVoice& fresh = e.voiceBank.voices[e.voiceBank.order[e.voiceBank.findAssigned(cv(64))]];
    EXPECT_EQ(fresh.osc[0].pitch, cv(64) - 2.0f * 0.083333336f);
}

TEST(Polyphonic, PolyphonyChanges)
{
    struct Row { float value; int32_t polyphony; bool rebuilt; };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Row rows[] = {
        {32.0f, 31, true}, {0.0f, 0, true}, {1.0f, 1, true}, {5.5f, 5, true},
        {33.0f, 10, false}, {-1.0f, 10, false}, {nan, 10, false}, {10.0f, 10, false},
    };
    for (const Row& r : rows)
    {
        VorlixGenPolyphonic e;
        e.setSampleRate(48000.0f);
        ASSERT_EQ(e.voiceBank.polyphony, 10);
        e.voiceBank.Add(true, cv(60), 1.0f, 0, 0);
        render(e, 64);
        e.setParam(kMaxPoly, r.value);
        EXPECT_EQ(e.voiceBank.polyphony, r.polyphony) << r.value;
        // A rebuild cuts every sounding voice; otherwise the note plays on.
        EXPECT_EQ(e.activeVoiceCount(), r.rebuilt ? 0 : 1) << r.value;
    }
    VorlixGenPolyphonic e;
    e.setSampleRate(48000.0f);
    e.setParam(kMaxPoly, 0.0f);
    e.voiceBank.Add(true, cv(60), 1.0f, 0, 0);
    EXPECT_EQ(peak(render(e, 256).left), 0.0f); // nothing is rendered with polyphony 0
}

TEST(Polyphonic, LegatoSwitchesAtOneHalf)
{
    VorlixGenPolyphonic e;
    EXPECT_FALSE(e.voiceBank.legato);
    e.setParam(kUseLegato, 0.5f);
    EXPECT_TRUE(e.voiceBank.legato);
    e.setParam(kUseLegato, 0.49f);
    EXPECT_FALSE(e.voiceBank.legato);
}

TEST(Polyphonic, BufferHandling)
{
    VorlixGenPolyphonic a;
    a.setSampleRate(48000.0f);
    a.voiceBank.Add(true, cv(60), 1.0f, 0, 0);
    a.setParam(kUseUnison, 1.0f);
    a.setParam(kUnisonDetune, 1.0f);
    VorlixGenPolyphonic b = a, c = a;
    const Block ref = render(a, 100);

    // replace false mixes onto what the buffers hold.
    Block mixed{std::vector<float>(100, 0.25f), std::vector<float>(100, -0.5f)};
    b.processReplacingT<float>(mixed.left.data(), mixed.right.data(), 1, 100, false);
    for (int k = 0; k < 100; ++k)
    {
        EXPECT_FLOAT_EQ(mixed.left[k], ref.left[k] + 0.25f);
        EXPECT_FLOAT_EQ(mixed.right[k], ref.right[k] - 0.5f);
    }
    // Interleaved frames with a stride of 2.
    std::vector<float> frames(200, 9.0f);
    c.processReplacingT<float>(frames.data(), frames.data() + 1, 2, 100, true);
    for (int k = 0; k < 100; ++k)
    {
        EXPECT_EQ(frames[2 * k], ref.left[k]);
        EXPECT_EQ(frames[2 * k + 1], ref.right[k]);
    }
    // Nothing at all for an empty or negative block.
    float untouched = 7.0f;
    a.processReplacingT<float>(&untouched, &untouched, 1, 0, true);
    a.processReplacingT<float>(&untouched, &untouched, 1, -5, true);
    EXPECT_EQ(untouched, 7.0f);
}

TEST(Polyphonic, ClearCopiesThePatchVoiceIntoEverySilentVoice)
{
    VorlixGenPolyphonic e;
    e.setSampleRate(48000.0f);
    e.voiceBank.Add(true, cv(60), 1.0f, 0, 0);
    render(e, 256);
    e.clear();
    for (const VorlixGenVoice& v : e.voiceBank.voices)
    {
        EXPECT_TRUE(v.isIdle());
        EXPECT_EQ(v.ampEnv.outputScale, 0.0f);
        EXPECT_EQ(v.unisonMode, e.patchVoice.unisonMode);
        EXPECT_EQ(v.osc[1].invert1, e.patchVoice.osc[1].invert1);
    }
    EXPECT_EQ(peak(render(e, 256).left), 0.0f);
}

TEST(Polyphonic, BadSampleRatesAndValuesAreIgnored)
{
    VorlixGenPolyphonic e;
    e.setSampleRate(48000.0f);
    for (float rate : {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()})
    {
        e.setSampleRate(rate);
        EXPECT_EQ(e.sampleRate, 48000.0f);
    }
    e.voiceBank.Add(true, cv(60), 1.0f, 0, 0);
    for (int id = 0; id < kNumParams; ++id)
    {
        e.setParam(id, std::numeric_limits<float>::quiet_NaN());
        e.setParam(id, std::numeric_limits<float>::infinity());
    }
    const Block b = render(e, 4800);
    for (float x : b.left)
        ASSERT_TRUE(std::isfinite(x));
    EXPECT_GT(peak(b.left), 0.0f);
}

// Mended: at low host rates (the SDK validator uses 1234.5678 Hz) and high notes, a frequency
// above the sample rate divided by zero, the triangle diverged and voices turned NaN.
TEST(Polyphonic, OutputIsFiniteAtEveryRateNoteAndKnobPosition)
{
    const float rates[] = {1000.0f, 1234.5678f, 8000.0f, 8372.0166f, 22050.0f, 44100.0f, 96000.0f, 384000.0f};
    uint32_t seed = 12345;
    auto random01 = [&seed] {
        seed = seed * 196314165u + 907633515u;
        return float(seed >> 8) / 16777216.0f;
    };
    for (int patch = 0; patch < 14; ++patch)
    {
        float values[kNumParams];
        for (int id = 0; id < kNumParams; ++id)
        {
            // Two extreme patches (all 0, all 1), then random knob positions biased to the ends.
            const float r = random01();
            values[id] = patch == 0 ? 0.0f : patch == 1 ? 1.0f : (r < 0.2f ? 0.0f : r > 0.8f ? 1.0f : random01());
        }
        values[kMaxPoly] = 1.0f;
        values[kOsc1Attack] = std::min(values[kOsc1Attack], 0.2f);
        for (float rate : rates)
        {
            VorlixGenPolyphonic e;
            e.setSampleRate(rate);
            for (int id = 0; id < kNumParams; ++id)
                e.setParam(id, VorlixGenConvert::convertValue(id, values[id]));
            e.setParam(kPan, random01() * 2.0f - 1.0f);
            for (int first = 0; first < 128; first += 10)
            {
                for (int n = first; n < first + 10 && n < 128; ++n)
                    e.voiceBank.Add(true, cv(n), random01(), 0, 0);
                const Block b = render(e, 200);
                for (size_t k = 0; k < b.left.size(); ++k)
                {
                    ASSERT_TRUE(std::isfinite(b.left[k]) && std::isfinite(b.right[k]))
                        << "patch " << patch << ", " << rate << " Hz, notes from " << first << ", frame " << k;
                }
                for (int n = first; n < first + 10 && n < 128; ++n)
                    e.voiceBank.Release(cv(n), 0);
            }
        }
    }
}
