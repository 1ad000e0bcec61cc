// One unison copy of a voice's sound source: two six-waveform oscillators, a square sub
// oscillator and a hidden sync master at the copy's fundamental. A plain value type: copying it
// is a snapshot of every phase and setting.
#pragma once

#include <array>
#include <cstdint>

#include "SynMath.h"
#include "VorlixStepResidual.h"

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

// The precise mode's band-limited generators (saw, square, sub and their sync master) run
// kLead samples ahead of the output, so that every jump's residual can reach back before it.
// pending[i] holds their naive mix plus the residuals for the i-th next output sample.
struct VorlixPreciseLead
{
    static constexpr int kLead = VorlixStepResidual::kHalfWidth;
    // Output samples generated per pass; the buffer holds them, the lead and the kernel's reach.
    static constexpr int kChunk = 16;
    static constexpr int kPendingSize = kLead + kChunk + VorlixStepResidual::kHalfWidth;
    std::array<float, kPendingSize> pending{};
    uint32_t masterPhase = 0; // the sync master, kLead samples ahead
};

template <int...>
struct VorlixMixRow;

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
    // Oscillator mode: classic (whole-sample periods, naive waveforms) or precise (exact
    // frequencies, band-limited saw, square, sub and sync). Changed only with setPrecise.
    bool precise = false;
    VorlixPreciseLead lead;

    void noteOn(bool, float cv, float velocity, int, bool);
    void setParam(int index, float value, float factor);
    void setUnisonDetune(float offset);
    void setSampleRate(float rate);
    void resetOsc();
    void resyncVoices() { resetOsc(); }
    // Switches the oscillator mode; the phases carry on, the frequencies are derived anew.
    void setPrecise(bool on);

    // The control-rate frequency update: oscillator 1 and 2 (clamped), sync master and sub.
    void updateFrequencies();
    void updateFrequency1();
    void updateFrequency2();
    void updateSyncMasterFrequency(float cv);
    void updateSubFrequency(float cv);

    // One sample of the copy's mix: sync master, sub, oscillator 1, oscillator 2.
    inline float tick();
    // The next n samples of the copy's mix, with the waveforms decided once for the span.
    void renderMix(float* out, int n);
    // The same for four copies at once, one per SSE lane, into out[c * stride + k]. Only when
    // all four play the same saw or square pair (phase-accumulator waves) in the same mode;
    // false otherwise, and nothing has changed.
    static bool renderMix4(VorlixGenOsc* copies, float* out, int stride, int n);

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

    // The precise mode's pitch: 8.1757989156 Hz x 2^cv from the library's exp2, not the
    // order-5 estimate, which runs up to 7 cents flat between its range splits.
    static float exactFrequency(float cv) { return float(8.1757989156 * std::exp2(double(cv))); }
    // The precise mode's phase increment: the frequency as a fraction of the sample rate in
    // 32-bit fixed point, rounded (0.0006 cent at worst for 32 Hz at 96 kHz). At least 1, and
    // below half a cycle, where the band-limited generators find each jump in its own step.
    static uint32_t exactIncrement(float frequency, float rate)
    {
        const double r = double(frequency) / double(rate) * 4294967296.0;
        if (!(r >= 1.0))
            return 1;
        if (r >= 2147483647.0)
            return 0x7FFFFFFFu;
        return static_cast<uint32_t>(r + 0.5);
    }

private:
    // Inputs (cv) of the last frequency derivations: the same cv gives the same frequency, so
    // the control update can skip the polynomial while a note holds its pitch.
    float lastCv1 = kNoCv;
    float lastCv2 = kNoCv;
    float lastSyncCv = kNoCv;
    float lastSubCv = kNoCv;
    static constexpr float kNoCv = -1.0e30f;

    template <int W1, int W2>
    void renderMixT(float* out, int n);
    template <int W1, int W2>
    static void renderMix4T(VorlixGenOsc* copies, float* out, int stride, int n);
    template <int W1, int W2>
    void renderPreciseT(float* out, int n);
    static bool renderPrecise4(VorlixGenOsc* copies, float* out, int stride, int n);
    template <int L1, int L2>
    static void renderPrecise4T(VorlixGenOsc* copies, float* out, int stride, int n);
    void emitLead(float* out, int c);
    void shiftLead(int c);
    template <int L1, int L2>
    void primeLeadT();
    void primeLead();
    void shiftLeadPhases(uint32_t steps, bool back);

    float waveFrequency(float cv) const
    {
        return precise ? exactFrequency(cv < 9.0f ? cv : 9.0f) : syn::Math::cv2freqClamped(cv);
    }
    uint32_t waveIncrement(float f, float rate, int32_t multiplier) const
    {
        return precise ? exactIncrement(f, rate) : incrementForFrequency(f, rate, multiplier);
    }
    uint32_t masterIncrement() const
    {
        const VorlixSyncMaster& m = syncMaster;
        return precise ? exactIncrement(m.frequency, m.sampleRate)
                       : incrementForPeriod(m.frequency > 0.0f ? m.period * m.sampleRate : kLongestPeriod, m.multiplier);
    }
    template <int...>
    friend struct VorlixMixRow;

    void setWaveFrequency(VorlixWaveGens& g, float f);
    static void retuneTriangle(VorlixTriangleGen& t, bool keepSign);
    static void retuneSine(VorlixSineGen& s);
    void resetWaveGens(VorlixWaveGens& g);
    static inline float waveTick(int32_t wave, VorlixWaveGens& g, float syncAmount);
};

// Per-waveform sample generators working on local copies of their state, so that a span loop
// keeps the state in registers. load/store move it between the generator and the locals; step
// takes the sync amount s (0 = no pulse) and keep = s == 0 ? all ones : 0 for the integer phases.
template <int W>
struct VorlixWaveRunner
{
    void load(const VorlixWaveGens&) {}
    float step(float, uint32_t) { return 0.0f; } // an index outside 0..5 is silence
    void store(VorlixWaveGens&) const {}
};

template <>
struct VorlixWaveRunner<kWaveSaw>
{
    uint32_t phase, increment;
    void load(const VorlixWaveGens& g) { phase = g.saw.phase; increment = g.saw.increment; }
    float step(float, uint32_t keep)
    {
        phase = (phase + increment) & keep; // a pulse resets the phase to 0
        return static_cast<float>(static_cast<int32_t>(phase)) * 4.656613e-10f;
    }
    void store(VorlixWaveGens& g) const { g.saw.phase = phase; }
};

template <>
struct VorlixWaveRunner<kWaveSquare>
{
    uint32_t phase, increment;
    float magnitude, last;
    void load(const VorlixWaveGens& g)
    {
        phase = g.square.phase;
        increment = g.square.increment;
        last = g.square.amplitude;
        magnitude = std::fabs(last);
    }
    float step(float, uint32_t keep)
    {
        last = static_cast<int32_t>(phase) < 0 ? -magnitude : magnitude;
        phase = (phase + increment) & keep;
        return last;
    }
    void store(VorlixWaveGens& g) const
    {
        g.square.phase = phase;
        g.square.amplitude = last;
    }
};

template <>
struct VorlixWaveRunner<kWaveTriangle>
{
    float value, slope, fullSlope;
    void load(const VorlixWaveGens& g)
    {
        value = g.triangle.value;
        slope = g.triangle.slope;
        fullSlope = g.triangle.fullSlope;
    }
    float step(float s, uint32_t)
    {
        const float t = (1.0f - s) * slope; // a pulse restarts the slope upward
        float v = value + t;
        slope = t + s * fullSlope;
        if (v > 1.0f)
        {
            v = 1.0f - (v - 1.0f);
            slope = -slope;
        }
        else if (v < -1.0f)
        {
            v = -2.0f - v;
            slope = -slope;
        }
        // A slope above 4 per sample (frequency above the sample rate) overshoots even after
        // the fold; left alone the value would grow without bound.
        v = v < 1.0f ? v : 1.0f;
        v = v > -1.0f ? v : -1.0f;
        value = v;
        return v;
    }
    void store(VorlixWaveGens& g) const
    {
        g.triangle.value = value;
        g.triangle.slope = slope;
    }
};

template <>
struct VorlixWaveRunner<kWaveSine>
{
    float s, q, k;
    void load(const VorlixWaveGens& g)
    {
        s = g.sine.s;
        q = g.sine.q;
        k = g.sine.k;
    }
    float step(float p, uint32_t)
    {
        // Coupled form; a pulse p blends the pair back to its start (0.5, 0): the peak.
        const float sn = (s - k * q) * (1.0f - p) + p * 0.5f;
        q = (k * sn + q) * (1.0f - p);
        s = sn;
        return 2.0f * sn;
    }
    void store(VorlixWaveGens& g) const
    {
        g.sine.s = s;
        g.sine.q = q;
    }
};

template <>
struct VorlixWaveRunner<kWaveWhiteNoise>
{
    uint32_t seed;
    float scale;
    void load(const VorlixWaveGens& g)
    {
        seed = g.white.seed;
        scale = g.white.scale;
    }
    float step(float, uint32_t)
    {
        seed = seed * 196314165u + 907633515u; // wraps modulo 2^32
        return static_cast<float>(static_cast<int32_t>(seed)) * scale;
    }
    void store(VorlixWaveGens& g) const { g.white.seed = seed; }
};

template <>
struct VorlixWaveRunner<kWavePinkNoise>
{
    VorlixPinkNoiseGen* p;
    uint32_t seed, counter, mask;
    int32_t sum, shift;
    void load(VorlixWaveGens& g)
    {
        p = &g.pink;
        seed = p->seed;
        counter = p->counter;
        mask = p->counterMask;
        sum = p->runningSum;
        shift = p->shift & 31;
    }
    float step(float, uint32_t)
    {
        counter = (counter + 1u) & mask;
        if (counter != 0)
        {
            // Row k is renewed every 2^(k+1) samples: the trailing zeros of the counter.
            const int k = __builtin_ctz(counter) & 15;
            seed = seed * 196314165u + 907633515u;
            const int32_t r = static_cast<int32_t>(seed) >> shift;
            sum = sum - p->rows[k] + r;
            p->rows[k] = r;
        }
        seed = seed * 196314165u + 907633515u;
        const int32_t white = static_cast<int32_t>(seed) >> shift;
        return static_cast<float>(white + sum) * p->scale;
    }
    void store(VorlixWaveGens& g) const
    {
        g.pink.seed = seed;
        g.pink.counter = counter;
        g.pink.runningSum = sum;
    }
};

inline float VorlixGenOsc::waveTick(int32_t wave, VorlixWaveGens& g, float s)
{
    const uint32_t keep = (s == 0.0f) ? 0xFFFFFFFFu : 0u;
    auto once = [&](auto runner) {
        runner.load(g);
        const float out = runner.step(s, keep);
        runner.store(g);
        return out;
    };
    switch (wave)
    {
    case kWaveSaw: return once(VorlixWaveRunner<kWaveSaw>{});
    case kWaveSquare: return once(VorlixWaveRunner<kWaveSquare>{});
    case kWaveTriangle: return once(VorlixWaveRunner<kWaveTriangle>{});
    case kWaveSine: return once(VorlixWaveRunner<kWaveSine>{});
    case kWaveWhiteNoise: return once(VorlixWaveRunner<kWaveWhiteNoise>{});
    case kWavePinkNoise: return once(VorlixWaveRunner<kWavePinkNoise>{});
    default: return 0.0f;
    }
}

inline float VorlixGenOsc::tick()
{
    if (precise)
    {
        float out;
        renderMix(&out, 1);
        return out;
    }
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

template <int W1, int W2>
void VorlixGenOsc::renderMixT(float* __restrict out, int n)
{
    VorlixWaveRunner<W1> r1;
    VorlixWaveRunner<W2> r2;
    r1.load(gen1);
    r2.load(gen2);
    uint32_t masterPhase = syncMaster.phase;
    uint32_t previous = syncMaster.previousPhase;
    const uint32_t masterIncrement = syncMaster.increment;
    uint32_t subPhase = sub.phase;
    const uint32_t subIncrement = sub.increment;
    const float subMagnitude = std::fabs(sub.amplitude);
    float subOut = sub.amplitude;
    const float level = subLevel;
    // mix * invert2 * o2 evaluates as (mix * invert2) * o2: the same numbers, hoisted.
    const float gain2 = mix * invert2;
    const float gain1 = (1.0f - mix) * invert1;
    const float sync1Amount = sync1;
    const float sync2Amount = sync2;
    for (int k = 0; k < n; ++k)
    {
        previous = masterPhase;
        masterPhase += masterIncrement;
        const bool pulse = ((previous & ~masterPhase) >> 31) != 0;
        const float s1 = pulse ? sync1Amount : 0.0f;
        const float s2 = pulse ? sync2Amount : 0.0f;
        subOut = static_cast<int32_t>(subPhase) < 0 ? -subMagnitude : subMagnitude;
        subPhase += subIncrement;
        const float o1 = r1.step(s1, s1 == 0.0f ? 0xFFFFFFFFu : 0u);
        const float o2 = r2.step(s2, s2 == 0.0f ? 0xFFFFFFFFu : 0u);
        out[k] = subOut * level + gain2 * o2 + gain1 * o1;
    }
    r1.store(gen1);
    r2.store(gen2);
    syncMaster.phase = masterPhase;
    syncMaster.previousPhase = previous;
    sub.phase = subPhase;
    sub.amplitude = subOut;
}
