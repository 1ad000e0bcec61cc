// One unison copy: detune curve, the six waveforms, sync, the whole-sample period rule, and the
// guards that keep extreme pitches and sample rates finite.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "SynMath.h"
#include "VorlixGenOsc.h"
#include "VorlixParamID.h"

namespace {

// A copy that outputs oscillator 1 alone (mix 0, no sub) at the given rate and pitch.
VorlixGenOsc makeOsc(int wave, float rate, float cv)
{
    VorlixGenOsc o;
    o.setSampleRate(rate);
    o.setParam(kOsc1WaveType, float(wave) + 0.5f, 1.0f);
    o.setParam(kOsc2WaveType, float(wave) + 0.5f, 1.0f);
    o.noteOn(false, cv, 1.0f, 0, false);
    return o;
}

std::vector<float> run(VorlixGenOsc& o, int n)
{
    std::vector<float> out(n);
    for (float& x : out)
        x = o.tick();
    return out;
}

// Mean distance between upward crossings of zero (or, for a saw, between its wraps).
double meanPeriod(const std::vector<float>& v, bool saw)
{
    std::vector<double> at;
    for (size_t i = 1; i < v.size(); ++i)
    {
        const bool cross = saw ? (v[i] < v[i - 1] - 1.0f) : (v[i - 1] < 0.0f && v[i] >= 0.0f);
        if (cross)
        {
            // Interpolated crossing for the smooth waves; exact sample for saw and square.
            double frac = 0.0;
            if (!saw && v[i] != v[i - 1])
                frac = -v[i - 1] / double(v[i] - v[i - 1]);
            at.push_back(double(i - 1) + frac);
        }
    }
    if (at.size() < 3)
        return 0.0;
    return (at.back() - at.front()) / double(at.size() - 1);
}

} // namespace

TEST(Osc, DetuneCurve)
{
    struct Row { float knob; float sync; float octaves; };
    const Row rows[] = {
        {0.5f, 0.0f, 0.0f},      {0.65f, 0.0f, 0.025f},  {0.35f, 0.0f, -0.025f}, {1.0f, 0.0f, 1.0f},
        {0.0f, 0.0f, -1.0f},     {0.6f, 0.0f, 0.2f / 12}, {1.0f, 1.0f, 4.0f},    {0.25f, 1.0f, 1.0f},
        {0.5f, 0.6f, 2.0f},      {0.5f, 0.5f, 0.0f}, // "above 0.5" selects the sync curve
    };
    for (const Row& r : rows)
        EXPECT_NEAR(VorlixGenOsc::detuneCurve(r.knob, r.sync), r.octaves, 1e-6f) << r.knob << " sync " << r.sync;
    // Continuous where the cubic takes over, monotonic throughout.
    EXPECT_NEAR(VorlixGenOsc::detuneCurve(0.65001f, 0.0f), 0.025f, 1e-5f);
    float previous = -2.0f;
    for (float k = 0.0f; k <= 1.0f; k += 0.001f)
    {
        const float d = VorlixGenOsc::detuneCurve(k, 0.0f);
        EXPECT_GE(d, previous) << k;
        previous = d;
    }
}

TEST(Osc, PhaseIncrementUsesWholeSamplePeriods)
{
    // 440 Hz at 44100 Hz: period 100 samples, i.e. 441 Hz.
    EXPECT_EQ(VorlixGenOsc::incrementForFrequency(440.0f, 44100.0f, 1), 0xFFFFFFFFu / 100u);
    EXPECT_EQ(VorlixGenOsc::incrementForFrequency(80.0f, 44100.0f, 1), 7794858u);
    // At least one sample, even above the sample rate (the divisor would otherwise be 0).
    struct Row { float f; float rate; uint32_t inc; };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Row rows[] = {
        {4186.0083f, 1000.0f, 0xFFFFFFFFu},     {14000.0f, 1234.5678f, 0xFFFFFFFFu},
        {1e30f, 48000.0f, 0xFFFFFFFFu},         {std::numeric_limits<float>::infinity(), 48000.0f, 0xFFFFFFFFu},
        // At or below 0 Hz (the estimate's far low end) and NaN: the longest period.
        {-0.3f, 48000.0f, 1u},                  {0.0f, 48000.0f, 1u},           {nan, 48000.0f, 1u},
        {1e-9f, 384000.0f, 1u},
    };
    for (const Row& r : rows)
        EXPECT_EQ(VorlixGenOsc::incrementForFrequency(r.f, r.rate, 1), r.inc) << r.f << " Hz at " << r.rate;
    EXPECT_EQ(VorlixGenOsc::incrementForPeriod(0.5f, 1), 0xFFFFFFFFu);
    EXPECT_EQ(VorlixGenOsc::incrementForPeriod(nan, 1), 0xFFFFFFFFu);
}

TEST(Osc, WaveformsHaveTheirPeriodAndRange)
{
    const float rate = 44100.0f;
    for (float cv : {5.75f, 5.71f, 3.0f})
    {
        const float f = syn::Math::cv2freqClamped(cv);
        const double whole = std::trunc(rate / f);
        struct Row { int wave; double period; float lo; float hi; };
        const Row rows[] = {
            {kWaveSaw, whole, -1.0f, 1.0f},
            {kWaveSquare, whole, -1.0f, 1.0f},
            {kWaveTriangle, rate / f, -1.0f, 1.0f},
            {kWaveSine, rate / f, -1.0f, 1.0f},
        };
        for (const Row& r : rows)
        {
            VorlixGenOsc o = makeOsc(r.wave, rate, cv);
            const std::vector<float> v = run(o, 20000);
            EXPECT_NEAR(meanPeriod(v, r.wave == kWaveSaw), r.period, r.period * 2e-3) << "wave " << r.wave << " cv " << cv;
            float lo = 1e9f, hi = -1e9f;
            for (float x : v)
            {
                lo = std::min(lo, x);
                hi = std::max(hi, x);
            }
            EXPECT_GE(lo, r.lo * 1.01f) << r.wave;
            EXPECT_LE(hi, r.hi * 1.01f) << r.wave;
            EXPECT_LT(lo, -0.95f) << r.wave;
            EXPECT_GT(hi, 0.95f) << r.wave;
        }
    }
}

TEST(Osc, SineStartsAtItsPeakAndSquareIsTwoLevel)
{
    VorlixGenOsc sine = makeOsc(kWaveSine, 48000.0f, 4.0f);
    EXPECT_NEAR(sine.tick(), 1.0f, 0.01f);
    VorlixGenOsc square = makeOsc(kWaveSquare, 48000.0f, 4.0f);
    for (float x : run(square, 2000))
        EXPECT_TRUE(x == 1.0f || x == -1.0f);
}

TEST(Osc, NoiseIsReproducibleAfterReset)
{
    for (int wave : {kWaveWhiteNoise, kWavePinkNoise})
    {
        VorlixGenOsc o = makeOsc(wave, 48000.0f, 5.0f);
        o.resetOsc();
        const std::vector<float> first = run(o, 5000);
        o.resetOsc();
        EXPECT_EQ(run(o, 5000), first) << wave;
        o.resyncVoices();
        EXPECT_EQ(run(o, 5000), first) << wave;

        double mean = 0.0, lag1 = 0.0, power = 0.0;
        for (size_t i = 0; i < first.size(); ++i)
        {
            EXPECT_LE(std::fabs(first[i]), 1.0f);
            mean += first[i];
            power += double(first[i]) * first[i];
            if (i > 0)
                lag1 += double(first[i]) * first[i - 1];
        }
        mean /= double(first.size());
        EXPECT_NEAR(mean, 0.0, 0.1) << wave;
        EXPECT_GT(power / double(first.size()), 0.01) << wave;
        // White noise is uncorrelated from sample to sample; pink keeps most of its energy low.
        if (wave == kWaveWhiteNoise)
            EXPECT_LT(std::fabs(lag1 / power), 0.05);
        else
            EXPECT_GT(lag1 / power, 0.5);
    }
}

TEST(Osc, WaveIndexOutsideTheListIsSilence)
{
    struct Row { float plain; int32_t wave; bool silent; };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Row rows[] = {
        {5.5f, kWavePinkNoise, false}, {0.5f, kWaveSaw, false}, {6.0f, 6, true}, {-1.0f, -1, true},
        {nan, 0, false}, {1e20f, std::numeric_limits<int32_t>::max(), true},
        {-std::numeric_limits<float>::infinity(), std::numeric_limits<int32_t>::min(), true},
    };
    for (const Row& r : rows)
    {
        VorlixGenOsc o = makeOsc(kWaveSaw, 48000.0f, 5.0f);
        o.setParam(kOsc1WaveType, r.plain, 1.0f);
        EXPECT_EQ(o.wave1, r.wave) << r.plain;
        float energy = 0.0f;
        for (float x : run(o, 500))
            energy += x * x;
        EXPECT_EQ(energy == 0.0f, r.silent) << r.plain;
    }
}

TEST(Osc, SyncRestartsTheOscillatorWithEachMasterCycle)
{
    for (int wave : {kWaveSaw, kWaveSquare, kWaveTriangle, kWaveSine})
    {
        VorlixGenOsc o = makeOsc(wave, 48000.0f, 4.0f);
        o.setParam(kUseOscSync1, 1.0f, 1.0f);
        o.setParam(kOsc1Detune, 0.3f, 1.0f); // 1.2 octaves above the master
        EXPECT_NEAR(o.detune1, 1.2f, 1e-6f);
        int pulses = 0;
        for (int i = 0; i < 5000; ++i)
        {
            const float out = o.tick();
            const bool pulse = int32_t(o.syncMaster.previousPhase) < 0 && int32_t(o.syncMaster.phase) >= 0;
            if (!pulse)
                continue;
            ++pulses;
            switch (wave)
            {
            case kWaveSaw: EXPECT_EQ(o.gen1.saw.phase, 0u); EXPECT_EQ(out, 0.0f); break;
            case kWaveSquare: EXPECT_EQ(o.gen1.square.phase, 0u); break;
            case kWaveTriangle: EXPECT_GT(o.gen1.triangle.slope, 0.0f); break; // restarts upward
            case kWaveSine: EXPECT_EQ(o.gen1.sine.s, 0.5f); EXPECT_EQ(o.gen1.sine.q, 0.0f); break;
            }
        }
        EXPECT_GT(pulses, 10) << wave;
    }
    // A synced oscillator's knob reaches 4 octaves; unsynced, the same knob gives one.
    VorlixGenOsc o = makeOsc(kWaveSaw, 48000.0f, 2.0f);
    o.setParam(kOsc1Detune, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(o.gen1.saw.frequency, syn::Math::cv2freqClamped(3.0f));
    o.setParam(kUseOscSync1, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(o.gen1.saw.frequency, syn::Math::cv2freqClamped(6.0f));
    EXPECT_FLOAT_EQ(o.syncMaster.frequency, syn::Math::cv2freq(2.0f));
}

TEST(Osc, UnisonAndCleanModeScaleTheDetune)
{
    VorlixGenOsc o = makeOsc(kWaveSaw, 48000.0f, 4.0f);
    o.noUnison = false;
    o.setParam(kUnisonDetune, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(o.unisonOffset, 0.234402f);
    o.setParam(kUseUnisonNice, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(o.unisonOffset, 0.083333336f);
    // Detune factors apply only while clean is off, and clean resets them to 1.
    o.setParam(kUseUnisonNice, 0.0f, 1.0f);
    o.setParam(kOsc1Detune, 1.0f, 0.75f);
    EXPECT_FLOAT_EQ(o.detune1, 0.75f);
    o.setParam(kUseUnisonNice, 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(o.detuneFactor1, 1.0f);
    EXPECT_FLOAT_EQ(o.detune1, 1.0f);
    o.setParam(kUseUnisonNice, 1.0f, 1.0f);
    o.setParam(kOsc2Detune, 0.0f, -0.25f);
    EXPECT_FLOAT_EQ(o.detune2, -1.0f);
    // A copy flagged as centre copy never takes an offset.
    VorlixGenOsc centre = makeOsc(kWaveSaw, 48000.0f, 4.0f);
    centre.setParam(kUnisonDetune, 1.0f, 1.0f);
    EXPECT_EQ(centre.unisonOffset, 0.0f);
    EXPECT_EQ(centre.unisonAmount, 1.0f);
}

TEST(Osc, SubOscillatorIsASquareOneOrTwoOctavesDown)
{
    VorlixGenOsc o = makeOsc(kWaveSaw, 48000.0f, 5.0f);
    o.setParam(kSubOscLevel, 1.0f, 1.0f);
    o.setParam(kOscMix, 0.5f, 1.0f);
    o.setParam(kOsc1WaveType, 9.0f, 1.0f); // silence both oscillators
    o.setParam(kOsc2WaveType, 9.0f, 1.0f);
    for (float octave : {-1.0f, -2.0f})
    {
        o.setParam(kSubOscOctave, octave, 1.0f);
        o.noteOn(false, 5.0f, 1.0f, 0, false);
        const std::vector<float> v = run(o, 40000);
        const double expected = std::trunc(48000.0 / syn::Math::cv2freq(5.0f + octave));
        EXPECT_NEAR(meanPeriod(v, false), expected, 1.0) << octave;
    }
}

// Mended: at high pitches or low host rates a frequency above the sample rate used to truncate
// the period to 0 (division by zero), a sub oscillator far below the MIDI range got a negative
// period from the order-5 estimate, and the triangle's single fold diverged to infinity.
TEST(Osc, ExtremePitchesAndRatesStayFiniteAndBounded)
{
    const float rates[] = {1000.0f, 1234.5678f, 8372.0166f, 44100.0f, 384000.0f};
    const float pitches[] = {0.0f, 127.0f / 12.0f, -2.5f, 15.0f};
    for (const bool precise : {false, true})
    for (float rate : rates)
        for (float cv : pitches)
            for (int wave = 0; wave <= 5; ++wave)
            {
                VorlixGenOsc o;
                o.setPrecise(precise);
                o.setSampleRate(rate);
                o.noUnison = false;
                o.setParam(kOsc1WaveType, float(wave), 1.0f);
                o.setParam(kOsc2WaveType, float(wave), 1.0f);
                o.setParam(kOscMix, 0.5f, 1.0f);
                o.setParam(kSubOscLevel, 1.0f, 1.0f);
                o.setParam(kSubOscOctave, -2.0f, 1.0f);
                o.setParam(kUseOscSync2, 1.0f, 1.0f);
                o.setParam(kOsc2Detune, 1.0f, 1.0f);
                o.setParam(kUnisonDetune, -1.0f, 1.0f);
                o.noteOn(false, cv, 1.0f, 0, false);
                EXPECT_NE(o.sub.increment, 0u);
                EXPECT_NE(o.syncMaster.increment, 0u);
                for (int i = 0; i < 3000; ++i)
                {
                    const float x = o.tick();
                    ASSERT_TRUE(std::isfinite(x))
                        << rate << " Hz, cv " << cv << ", wave " << wave << ", sample " << i << ", precise " << precise;
                    // The coupled-form sine grows near the Nyquist frequency (finite, and the
                    // voice's filter clamps it); every other wave keeps its range (band-limited
                    // jumps ring a little past it, more where jumps crowd at the top).
                    if (wave != kWaveSine)
                    {
                        ASSERT_LE(std::fabs(x), precise ? 3.0f : 2.0f) << rate << " Hz, cv " << cv << ", wave " << wave;
                    }
                    if (wave == kWaveTriangle)
                    {
                        ASSERT_LE(std::fabs(o.gen1.triangle.value), 1.0f);
                    }
                }
            }
}

TEST(Osc, TriangleFoldsBackAtTwoPerSample)
{
    // Slope above 2 per sample but at most 4: one fold per sample is enough and the value
    // never needs the guard.
    VorlixGenOsc o = makeOsc(kWaveTriangle, 6000.0f, 9.0f); // 4186 Hz: slope 2.79
    ASSERT_GT(o.gen1.triangle.fullSlope, 2.0f);
    for (float x : run(o, 1000))
        ASSERT_LE(std::fabs(x), 1.0f);
}

TEST(Osc, SampleRateChangeRetunesEveryGenerator)
{
    VorlixGenOsc o = makeOsc(kWaveSaw, 44100.0f, 5.0f);
    const float f = o.gen1.saw.frequency;
    o.gen1.sine.k = -o.gen1.sine.k;
    o.setSampleRate(96000.0f);
    EXPECT_EQ(o.gen1.saw.increment, VorlixGenOsc::incrementForFrequency(f, 96000.0f, 1));
    EXPECT_EQ(o.sub.increment, VorlixGenOsc::incrementForFrequency(o.sub.frequency, 96000.0f, 1));
    EXPECT_NEAR(o.gen1.triangle.fullSlope, 4.0f * f / 96000.0f, 1e-7f);
    EXPECT_LT(o.gen1.sine.k, 0.0f); // keeps its sign
    EXPECT_NEAR(o.gen1.sine.k, -2.0f * std::sin(3.14159265f * f / 96000.0f), 1e-6f);
    EXPECT_EQ(o.sampleRate, 96000.0f);
}
