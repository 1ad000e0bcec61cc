// One unison copy of a voice's sound source: two six-waveform oscillators, a square sub
// oscillator and a hidden sync master at the copy's fundamental. A plain value type: copying it
// is a snapshot of every phase and setting.
#pragma once

#include <array>
#include <cstdint>

#include "SynMath.h"

// Phases are unsigned so that they wrap modulo 2^32 by definition; they are read as signed
// (top bit = sign) where the waveform needs it.
struct VorlixSawGen
{
    float frequency = 80.0f;
    float sampleRate = 44100.0f;
    uint32_t phase = 0;
    uint32_t increment = 7794858; // 80 Hz at 44100 Hz: period 551 samples
    int32_t multiplier = 1;
};

struct VorlixSquareGen
{
    float frequency = 80.0f;
    float sampleRate = 44100.0f;
    uint32_t phase = 0;
    uint32_t increment = 7794858;
    float amplitude = 1.0f; // holds the last signed output
    int32_t multiplier = 1;
};

struct VorlixTriangleGen
{
    float frequency = 80.0f;
    float sampleRate = 44100.0f;
    float invSampleRate = 2.2675737e-5f;
    float value = 0.0f;
    float slope = 0.007256236f; // signed: the direction of travel
    float amplitude = 1.0f;
    float halfSlope = 0.003628118f; // 2 f / sr
    float fullSlope = 0.007256236f; // 4 f / sr
};

struct VorlixSineGen
{
    float frequency = 80.0f;
    float sampleRate = 44100.0f;
    float invSampleRate = 2.2675737e-5f;
    float s = 0.5f; // coupled-form pair; starting at (0.5, 0) puts the wave at its peak
    float q = 0.0f;
    float k = 0.011398f; // 2 sin(pi f / sr), signed
    float amplitude = 1.0f;
};

struct VorlixWhiteNoiseGen
{
    uint32_t seed = 22222;
    float sampleRate = 44100.0f;
    float scale = 4.656613e-10f; // 2^-31
};

// Voss-McCartney pink noise: 16 rows of white noise, row k renewed every 2^(k+1) samples.
struct VorlixPinkNoiseGen
{
    int32_t valueBits = 24;
    int32_t shift = 8; // 32 - valueBits
    uint32_t seed = 22222;
    std::array<int32_t, 16> rows{};
    int32_t runningSum = 0;
    uint32_t counter = 0;
    uint32_t counterMask = 0xFFFF;
    float scale = 7.012311e-9f; // 1 / (17 * 2^23): 16 rows plus the white term stay within -1..1
};

struct VorlixSyncMaster
{
    float frequency = 80.0f;
    float period = 0.0125f; // 1 / frequency, seconds
    float sampleRate = 44100.0f;
    uint32_t phase = 0;
    uint32_t previousPhase = 0;
    uint32_t increment = 7794858;
    int32_t multiplier = 1;
};

struct VorlixSubOsc
{
    float frequency = 80.0f;
    float sampleRate = 44100.0f;
    uint32_t phase = 0;
    uint32_t increment = 7794858;
    float amplitude = 1.0f; // holds the last signed output
    int32_t multiplier = 1;
};

// The generators of one of the two waveform oscillators; only the selected one advances.
struct VorlixWaveGens
{
    VorlixSawGen saw;
    VorlixSquareGen square;
    VorlixTriangleGen triangle;
    VorlixSineGen sine;
    VorlixWhiteNoiseGen white;
    VorlixPinkNoiseGen pink;
};

enum VorlixWave
{
    kWaveSaw = 0,
    kWaveSquare = 1,
    kWaveTriangle = 2,
    kWaveSine = 3,
    kWaveWhiteNoise = 4,
    kWavePinkNoise = 5
};

class VorlixGenOsc
{
public:
    VorlixWaveGens gen1;
    VorlixWaveGens gen2;
    VorlixSyncMaster syncMaster;
    VorlixSubOsc sub;

    float invert1 = 1.0f;
    float invert2 = 1.0f;
    float pitch = 0.0f; // cv of the note, glided by the voice
    float sampleRate = 44100.0f;
    float detune1 = 0.0f; // effective detune, cv
    float detune2 = 0.0f;
    float mix = 0.0f;
    float unisonOffset = 0.0f;
    float unisonAmount = 0.0f;
    float clean = 0.0f;
    float sync1 = 0.0f;
    float sync2 = 0.0f;
    float detuneKnob1 = 0.0f;
    float detuneKnob2 = 0.0f;
    float detuneFactor1 = 1.0f;
    float detuneFactor2 = 1.0f;
    float subLevel = 0.0f;
    float subOctave = -1.0f;
    int32_t envelopeCurve = 0; // read by the voice
    int32_t wave1 = kWaveSaw;
    int32_t wave2 = kWaveSaw;
    bool noUnison = true;
    bool syncOnTrigger = false;

    void noteOn(bool, float cv, float velocity, int, bool);
    void setParam(int index, float value, float factor);
    void setUnisonDetune(float offset);
    void setSampleRate(float rate);
    void resetOsc();
    void resyncVoices() { resetOsc(); }

    // The control-rate frequency update: oscillator 1 and 2 (clamped), sync master and sub.
    void updateFrequencies();
    void updateFrequency1();
    void updateFrequency2();
    void updateSyncMasterFrequency(float cv);
    void updateSubFrequency(float cv);

    // One sample of the copy's mix: sync master, sub, oscillator 1, oscillator 2.
    inline float tick();

    // Detune in octaves from a knob value 0..1: +-1 octave with a flat +-0.3 semitone centre,
    // or 0..4 octaves up while the oscillator is synced.
    static float detuneCurve(float knob, float syncFlag);

    // Phase increment for a period in samples. The period is whole samples (truncated) and at
    // least one, so a frequency above the sample rate cannot divide by zero.
    static uint32_t incrementForPeriod(float periodSamples, int32_t multiplier)
    {
        uint32_t p = syn::Math::truncToUint(periodSamples);
        if (p < 1)
            p = 1;
        return (0xFFFFFFFFu / p) * static_cast<uint32_t>(multiplier);
    }
    // A frequency at or below 0 Hz (the order-5 estimate turns negative far below its range) or
    // NaN gets the longest period: the generator all but stands still.
    static uint32_t incrementForFrequency(float frequency, float rate, int32_t multiplier)
    {
        return incrementForPeriod(frequency > 0.0f ? rate / frequency : kLongestPeriod, multiplier);
    }
    static constexpr float kLongestPeriod = 4294967296.0f;

private:
    void setWaveFrequency(VorlixWaveGens& g, float f);
    static void retuneTriangle(VorlixTriangleGen& t, bool keepSign);
    static void retuneSine(VorlixSineGen& s);
    static void resetWaveGens(VorlixWaveGens& g);
    static inline float waveTick(int32_t wave, VorlixWaveGens& g, float syncAmount);
};

inline float VorlixGenOsc::waveTick(int32_t wave, VorlixWaveGens& g, float s)
{
    // A sync pulse zeroes the integer phases; for the float generators s blends into a restart.
    const uint32_t keep = (s == 0.0f) ? 0xFFFFFFFFu : 0u;
    switch (wave)
    {
    case kWaveSaw: {
        g.saw.phase = (g.saw.phase + g.saw.increment) & keep;
        return static_cast<float>(static_cast<int32_t>(g.saw.phase)) * 4.656613e-10f;
    }
    case kWaveSquare: {
        const float a = std::fabs(g.square.amplitude);
        const float out = static_cast<int32_t>(g.square.phase) < 0 ? -a : a;
        g.square.amplitude = out;
        g.square.phase = (g.square.phase + g.square.increment) & keep;
        return out;
    }
    case kWaveTriangle: {
        VorlixTriangleGen& t = g.triangle;
        const float step = (1.0f - s) * t.slope;
        float v = t.value + step;
        t.slope = step + s * t.fullSlope;
        if (v > 1.0f)
        {
            v = 1.0f - (v - 1.0f);
            t.slope = -t.slope;
        }
        else if (v < -1.0f)
        {
            v = -2.0f - v;
            t.slope = -t.slope;
        }
        // A slope above 4 per sample (frequency above the sample rate) overshoots even after the
        // fold; left alone the value would grow without bound.
        if (v > 1.0f)
            v = 1.0f;
        else if (v < -1.0f)
            v = -1.0f;
        t.value = v;
        return v;
    }
    case kWaveSine: {
        VorlixSineGen& w = g.sine;
        const float sn = (w.s - w.k * w.q) * (1.0f - s) + s * 0.5f;
        const float qn = (w.k * sn + w.q) * (1.0f - s);
        w.s = sn;
        w.q = qn;
        return 2.0f * sn;
    }
    case kWaveWhiteNoise: {
        g.white.seed = g.white.seed * 196314165u + 907633515u;
        return static_cast<float>(static_cast<int32_t>(g.white.seed)) * g.white.scale;
    }
    case kWavePinkNoise: {
        VorlixPinkNoiseGen& p = g.pink;
        p.counter = (p.counter + 1u) & p.counterMask;
        if (p.counter != 0)
        {
            const int k = __builtin_ctz(p.counter) & 15;
            p.seed = p.seed * 196314165u + 907633515u;
            const int32_t r = static_cast<int32_t>(p.seed) >> (p.shift & 31);
            p.runningSum = p.runningSum - p.rows[k] + r;
            p.rows[k] = r;
        }
        p.seed = p.seed * 196314165u + 907633515u;
        const int32_t white = static_cast<int32_t>(p.seed) >> (p.shift & 31);
        return static_cast<float>(white + p.runningSum) * p.scale;
    }
    default:
        return 0.0f; // an index outside 0..5 is silence
    }
}

inline float VorlixGenOsc::tick()
{
    const uint32_t previous = syncMaster.phase;
    const uint32_t phase = previous + syncMaster.increment;
    syncMaster.previousPhase = previous;
    syncMaster.phase = phase;
    // Pulse when the signed phase crosses from negative to non-negative.
    const bool pulse = ((previous & ~phase) >> 31) != 0;
    const float s1 = pulse ? sync1 : 0.0f;
    const float s2 = pulse ? sync2 : 0.0f;

    const float subAmp = std::fabs(sub.amplitude);
    const float subOut = static_cast<int32_t>(sub.phase) < 0 ? -subAmp : subAmp;
    sub.amplitude = subOut;
    sub.phase += sub.increment;

    const float o1 = waveTick(wave1, gen1, s1);
    const float o2 = waveTick(wave2, gen2, s2);
    return subOut * subLevel + mix * invert2 * o2 + (1.0f - mix) * invert1 * o1;
}
