// Parameter handling, retuning and resets of one unison copy; the per-sample work is inline
// in the header.
#include "VorlixGenOsc.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <emmintrin.h>

#include "VorlixParamID.h"

namespace {

// 0.234402 octave (about 2.8 semitones) per unit of unison value; clean mode uses one semitone.
float unisonScale(float clean) { return (1.0f - clean) * 0.234402f + clean * 0.083333336f; }

constexpr float kPi = 3.14159265f;

} // namespace

float VorlixGenOsc::detuneCurve(float knob, float syncFlag)
{
    if (syncFlag > 0.5f)
        return 4.0f * knob;
    const float x = 2.0f * knob - 1.0f;
    const float ax = std::fabs(x);
    if (ax <= 0.3f)
        return x * 0.083333336f;
    const float r = (ax - 0.3f) / 0.7f;
    const float d = 0.975f * (r * r * r) + 0.025f;
    return x > 0.0f ? d : -d;
}

void VorlixGenOsc::retuneTriangle(VorlixTriangleGen& t, bool keepSign)
{
    const float h = 2.0f * t.frequency * t.amplitude / t.sampleRate;
    t.halfSlope = h;
    t.fullSlope = 2.0f * h;
    const float mag = std::fabs(t.fullSlope);
    t.slope = (!keepSign || t.slope > 0.0f) ? mag : -mag;
}

void VorlixGenOsc::retuneSine(VorlixSineGen& s)
{
    const float mag = std::fabs(2.0f * s.amplitude * std::sin(kPi * s.frequency / s.sampleRate));
    s.k = s.k > 0.0f ? mag : -mag;
}

void VorlixGenOsc::setWaveFrequency(VorlixWaveGens& g, float f)
{
    if (f == g.saw.frequency)
        return;
    g.saw.frequency = f;
    g.square.frequency = f;
    g.triangle.frequency = f;
    g.sine.frequency = f;
    g.saw.increment = waveIncrement(f, g.saw.sampleRate, g.saw.multiplier);
    g.square.increment = waveIncrement(f, g.square.sampleRate, g.square.multiplier);
    retuneTriangle(g.triangle, true);
    retuneSine(g.sine);
}

void VorlixGenOsc::updateFrequency1()
{
    const float cv = pitch + unisonOffset + detune1;
    if (cv == lastCv1)
        return;
    lastCv1 = cv;
    setWaveFrequency(gen1, waveFrequency(cv));
}

void VorlixGenOsc::updateFrequency2()
{
    const float cv = pitch + unisonOffset + detune2;
    if (cv == lastCv2)
        return;
    lastCv2 = cv;
    setWaveFrequency(gen2, waveFrequency(cv));
}

void VorlixGenOsc::updateSyncMasterFrequency(float cv)
{
    if (cv == lastSyncCv)
        return;
    lastSyncCv = cv;
    const float f = precise ? exactFrequency(cv) : syn::Math::cv2freq(cv);
    if (f == syncMaster.frequency)
        return;
    syncMaster.frequency = f;
    syncMaster.period = 1.0f / f;
    syncMaster.increment = masterIncrement();
}

void VorlixGenOsc::updateSubFrequency(float cv)
{
    if (cv == lastSubCv)
        return;
    lastSubCv = cv;
    const float f = precise ? exactFrequency(cv) : syn::Math::cv2freq(cv);
    if (f == sub.frequency)
        return;
    sub.frequency = f;
    sub.increment = waveIncrement(f, sub.sampleRate, sub.multiplier);
}

void VorlixGenOsc::updateFrequencies()
{
    updateFrequency1();
    updateFrequency2();
    updateSyncMasterFrequency(pitch + unisonOffset);
    updateSubFrequency(pitch + subOctave);
}

void VorlixGenOsc::noteOn(bool, float cv, float, int, bool)
{
    pitch = cv;
    updateFrequencies();
}

void VorlixGenOsc::setUnisonDetune(float offset)
{
    unisonOffset = offset;
    updateFrequency1();
    updateFrequency2();
    updateSyncMasterFrequency(pitch + unisonOffset);
    // Only here does the sub follow the unison offset; the next control update takes it back.
    updateSubFrequency(pitch + unisonOffset + subOctave);
}

void VorlixGenOsc::setParam(int index, float value, float factor)
{
    switch (index)
    {
    case kOsc1WaveType:
        wave1 = syn::Math::truncToInt(value);
        break;
    case kOsc2WaveType:
        wave2 = syn::Math::truncToInt(value);
        break;
    case kOsc1Detune:
        detuneKnob1 = value;
        detuneFactor1 = factor * (1.0f - clean) + clean;
        detune1 = detuneFactor1 * detuneCurve(value, sync1);
        updateFrequency1();
        break;
    case kOsc2Detune:
        detuneKnob2 = value;
        detuneFactor2 = factor * (1.0f - clean) + clean;
        detune2 = detuneFactor2 * detuneCurve(value, sync2);
        updateFrequency2();
        break;
    case kOscMix:
        mix = value;
        break;
    case kUnisonDetune:
        unisonAmount = value;
        if (!noUnison)
            setUnisonDetune(unisonScale(clean) * value);
        break;
    case kOsc1Invert:
        invert1 = value >= 0.5f ? -1.0f : 1.0f;
        break;
    case kOsc2Invert:
        invert2 = value >= 0.5f ? -1.0f : 1.0f;
        break;
    case kUseExp:
        envelopeCurve = syn::Math::truncToInt(value);
        break;
    case kUseUnisonNice:
        clean = value;
        detuneFactor1 = 1.0f;
        detuneFactor2 = 1.0f;
        detune1 = detuneCurve(detuneKnob1, sync1);
        detune2 = detuneCurve(detuneKnob2, sync2);
        updateFrequency1();
        updateFrequency2();
        if (!noUnison)
            setUnisonDetune(unisonScale(value) * unisonAmount);
        break;
    case kSyncOnTrigger:
        syncOnTrigger = value > 0.5f;
        break;
    case kUseOscSync1:
        sync1 = value;
        detune1 = detuneFactor1 * detuneCurve(detuneKnob1, sync1);
        updateFrequency1();
        break;
    case kUseOscSync2:
        sync2 = value;
        detune2 = detuneFactor2 * detuneCurve(detuneKnob2, sync2);
        updateFrequency2();
        break;
    case kSubOscLevel:
        subLevel = value;
        break;
    case kSubOscOctave:
        subOctave = value;
        break;
    default:
        break;
    }
}

void VorlixGenOsc::setSampleRate(float rate)
{
    for (VorlixWaveGens* g : {&gen1, &gen2})
    {
        if (g->saw.sampleRate != rate)
        {
            g->saw.sampleRate = rate;
            g->saw.increment = waveIncrement(g->saw.frequency, rate, g->saw.multiplier);
        }
        if (g->square.sampleRate != rate)
        {
            g->square.sampleRate = rate;
            g->square.increment = waveIncrement(g->square.frequency, rate, g->square.multiplier);
        }
        if (g->triangle.sampleRate != rate)
        {
            g->triangle.sampleRate = rate;
            g->triangle.invSampleRate = 1.0f / rate;
            retuneTriangle(g->triangle, true);
        }
        if (g->sine.sampleRate != rate)
        {
            g->sine.sampleRate = rate;
            g->sine.invSampleRate = 1.0f / rate;
            retuneSine(g->sine);
        }
        g->white.sampleRate = rate;
    }
    if (syncMaster.sampleRate != rate)
    {
        syncMaster.sampleRate = rate;
        syncMaster.increment = masterIncrement();
    }
    if (sub.sampleRate != rate)
    {
        sub.sampleRate = rate;
        sub.increment = waveIncrement(sub.frequency, rate, sub.multiplier);
    }
    sampleRate = rate;
}

void VorlixGenOsc::resetWaveGens(VorlixWaveGens& g)
{
    g.saw.phase = 0;
    g.saw.multiplier = 1;
    g.saw.increment = waveIncrement(g.saw.frequency, g.saw.sampleRate, 1);
    g.triangle.value = 0.0f;
    g.triangle.amplitude = 1.0f;
    retuneTriangle(g.triangle, false);
    g.sine.s = 0.5f;
    g.sine.q = 0.0f;
    g.sine.amplitude = 1.0f;
    retuneSine(g.sine);
    g.square.amplitude = 1.0f;
    g.square.phase = 0;
    g.square.increment = waveIncrement(g.square.frequency, g.square.sampleRate, g.square.multiplier);
    g.white.seed = 22222;
    g.pink.seed = 22222;
    g.pink.counter = 0;
    g.pink.counterMask = 0xFFFF;
    g.pink.scale = 1.0f / (17.0f * std::ldexp(1.0f, g.pink.valueBits - 1));
    g.pink.rows.fill(0);
    g.pink.runningSum = 0;
}

void VorlixGenOsc::resetOsc()
{
    resetWaveGens(gen1);
    resetWaveGens(gen2);
    syncMaster.phase = 0;
    syncMaster.previousPhase = 0;
    syncMaster.multiplier = 1;
    syncMaster.increment = masterIncrement();
    sub.amplitude = 1.0f;
    sub.multiplier = 1;
    sub.phase = 0;
    sub.increment = waveIncrement(sub.frequency, sub.sampleRate, 1);
    if (precise)
        primeLead();
}

namespace {

using MixRenderer = void (VorlixGenOsc::*)(float*, int);

// Waves 0..5, and 6 for any index outside the list (silence).
constexpr int kWaveSlots = 7;

int waveSlot(int32_t wave) { return (wave >= 0 && wave <= 5) ? wave : 6; }

} // namespace

template <int... W2>
struct VorlixMixRow
{
    template <int W1>
    static constexpr std::array<MixRenderer, kWaveSlots> row()
    {
        return {&VorlixGenOsc::template renderMixT<W1, W2>...};
    }
    template <int W1>
    static constexpr std::array<MixRenderer, kWaveSlots> preciseRow()
    {
        return {&VorlixGenOsc::template renderPreciseT<W1, W2>...};
    }
};

void VorlixGenOsc::renderMix(float* out, int n)
{
    using Row = VorlixMixRow<0, 1, 2, 3, 4, 5, 6>;
    static constexpr std::array<std::array<MixRenderer, kWaveSlots>, kWaveSlots> table{
        Row::row<0>(), Row::row<1>(), Row::row<2>(), Row::row<3>(), Row::row<4>(), Row::row<5>(), Row::row<6>()};
    static constexpr std::array<std::array<MixRenderer, kWaveSlots>, kWaveSlots> preciseTable{
        Row::preciseRow<0>(), Row::preciseRow<1>(), Row::preciseRow<2>(), Row::preciseRow<3>(),
        Row::preciseRow<4>(), Row::preciseRow<5>(), Row::preciseRow<6>()};
    (this->*(precise ? preciseTable : table)[waveSlot(wave1)][waveSlot(wave2)])(out, n);
}

namespace {

// Phase-accumulator waves in four lanes: the same integer and float operations as the scalar
// runners, lane by lane.
template <int W>
struct PhaseLanes
{
    __m128i phase, increment;
    __m128 magnitude, last; // square only

    void load(VorlixGenOsc* c, VorlixWaveGens VorlixGenOsc::*gens)
    {
        if constexpr (W == kWaveSaw)
        {
            phase = _mm_setr_epi32(int((c[0].*gens).saw.phase), int((c[1].*gens).saw.phase),
                                   int((c[2].*gens).saw.phase), int((c[3].*gens).saw.phase));
            increment = _mm_setr_epi32(int((c[0].*gens).saw.increment), int((c[1].*gens).saw.increment),
                                       int((c[2].*gens).saw.increment), int((c[3].*gens).saw.increment));
        }
        else
        {
            phase = _mm_setr_epi32(int((c[0].*gens).square.phase), int((c[1].*gens).square.phase),
                                   int((c[2].*gens).square.phase), int((c[3].*gens).square.phase));
            increment = _mm_setr_epi32(int((c[0].*gens).square.increment), int((c[1].*gens).square.increment),
                                       int((c[2].*gens).square.increment), int((c[3].*gens).square.increment));
            last = _mm_setr_ps((c[0].*gens).square.amplitude, (c[1].*gens).square.amplitude,
                               (c[2].*gens).square.amplitude, (c[3].*gens).square.amplitude);
            magnitude = _mm_andnot_ps(_mm_set1_ps(-0.0f), last);
        }
    }
    __m128 step(__m128i reset)
    {
        if constexpr (W == kWaveSaw)
        {
            phase = _mm_andnot_si128(reset, _mm_add_epi32(phase, increment));
            return _mm_mul_ps(_mm_cvtepi32_ps(phase), _mm_set1_ps(4.656613e-10f));
        }
        else
        {
            const __m128 sign = _mm_castsi128_ps(_mm_slli_epi32(_mm_srai_epi32(phase, 31), 31));
            last = _mm_xor_ps(magnitude, sign);
            phase = _mm_andnot_si128(reset, _mm_add_epi32(phase, increment));
            return last;
        }
    }
    void store(VorlixGenOsc* c, VorlixWaveGens VorlixGenOsc::*gens) const
    {
        alignas(16) uint32_t p[4];
        alignas(16) float a[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(p), phase);
        if constexpr (W == kWaveSaw)
        {
            for (int i = 0; i < 4; ++i)
                (c[i].*gens).saw.phase = p[i];
        }
        else
        {
            _mm_store_ps(a, last);
            for (int i = 0; i < 4; ++i)
            {
                (c[i].*gens).square.phase = p[i];
                (c[i].*gens).square.amplitude = a[i];
            }
        }
    }
};

__m128 lanes(VorlixGenOsc* c, float VorlixGenOsc::*field)
{
    return _mm_setr_ps(c[0].*field, c[1].*field, c[2].*field, c[3].*field);
}

} // namespace

template <int W1, int W2>
void VorlixGenOsc::renderMix4T(VorlixGenOsc* c, float* out, int stride, int n)
{
    PhaseLanes<W1> o1;
    PhaseLanes<W2> o2;
    o1.load(c, &VorlixGenOsc::gen1);
    o2.load(c, &VorlixGenOsc::gen2);
    __m128i masterPhase = _mm_setr_epi32(int(c[0].syncMaster.phase), int(c[1].syncMaster.phase),
                                         int(c[2].syncMaster.phase), int(c[3].syncMaster.phase));
    __m128i previous = _mm_setr_epi32(int(c[0].syncMaster.previousPhase), int(c[1].syncMaster.previousPhase),
                                      int(c[2].syncMaster.previousPhase), int(c[3].syncMaster.previousPhase));
    const __m128i masterIncrement = _mm_setr_epi32(int(c[0].syncMaster.increment), int(c[1].syncMaster.increment),
                                                   int(c[2].syncMaster.increment), int(c[3].syncMaster.increment));
    __m128i subPhase = _mm_setr_epi32(int(c[0].sub.phase), int(c[1].sub.phase), int(c[2].sub.phase), int(c[3].sub.phase));
    const __m128i subIncrement = _mm_setr_epi32(int(c[0].sub.increment), int(c[1].sub.increment),
                                                int(c[2].sub.increment), int(c[3].sub.increment));
    __m128 subOut = _mm_setr_ps(c[0].sub.amplitude, c[1].sub.amplitude, c[2].sub.amplitude, c[3].sub.amplitude);
    const __m128 subMagnitude = _mm_andnot_ps(_mm_set1_ps(-0.0f), subOut);
    const __m128 level = lanes(c, &VorlixGenOsc::subLevel);
    const __m128 mixV = lanes(c, &VorlixGenOsc::mix);
    const __m128 gain2 = _mm_mul_ps(mixV, lanes(c, &VorlixGenOsc::invert2));
    const __m128 gain1 = _mm_mul_ps(_mm_sub_ps(_mm_set1_ps(1.0f), mixV), lanes(c, &VorlixGenOsc::invert1));
    // A pulse resets an integer phase when the sync amount (flag x pulse) is not 0.
    const __m128i syncOn1 = _mm_castps_si128(_mm_cmpneq_ps(lanes(c, &VorlixGenOsc::sync1), _mm_setzero_ps()));
    const __m128i syncOn2 = _mm_castps_si128(_mm_cmpneq_ps(lanes(c, &VorlixGenOsc::sync2), _mm_setzero_ps()));

    alignas(16) float quad[4];
    for (int k = 0; k < n; ++k)
    {
        previous = masterPhase;
        masterPhase = _mm_add_epi32(masterPhase, masterIncrement);
        const __m128i pulse = _mm_srai_epi32(_mm_andnot_si128(masterPhase, previous), 31);
        const __m128 subSign = _mm_castsi128_ps(_mm_slli_epi32(_mm_srai_epi32(subPhase, 31), 31));
        subOut = _mm_xor_ps(subMagnitude, subSign);
        subPhase = _mm_add_epi32(subPhase, subIncrement);
        const __m128 v1 = o1.step(_mm_and_si128(pulse, syncOn1));
        const __m128 v2 = o2.step(_mm_and_si128(pulse, syncOn2));
        const __m128 mixed = _mm_add_ps(_mm_add_ps(_mm_mul_ps(subOut, level), _mm_mul_ps(gain2, v2)),
                                        _mm_mul_ps(gain1, v1));
        _mm_store_ps(quad, mixed);
        out[k] = quad[0];
        out[stride + k] = quad[1];
        out[2 * stride + k] = quad[2];
        out[3 * stride + k] = quad[3];
    }

    o1.store(c, &VorlixGenOsc::gen1);
    o2.store(c, &VorlixGenOsc::gen2);
    alignas(16) uint32_t mp[4], pp[4], sp[4];
    alignas(16) float so[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(mp), masterPhase);
    _mm_store_si128(reinterpret_cast<__m128i*>(pp), previous);
    _mm_store_si128(reinterpret_cast<__m128i*>(sp), subPhase);
    _mm_store_ps(so, subOut);
    for (int i = 0; i < 4; ++i)
    {
        c[i].syncMaster.phase = mp[i];
        c[i].syncMaster.previousPhase = pp[i];
        c[i].sub.phase = sp[i];
        c[i].sub.amplitude = so[i];
    }
}

bool VorlixGenOsc::renderMix4(VorlixGenOsc* c, float* out, int stride, int n)
{
    for (int i = 0; i < 4; ++i)
        if (c[i].precise)
            return renderPrecise4(c, out, stride, n);
    const int32_t w1 = c[0].wave1, w2 = c[0].wave2;
    for (int i = 1; i < 4; ++i)
        if (c[i].wave1 != w1 || c[i].wave2 != w2)
            return false;
    const bool saw1 = w1 == kWaveSaw, saw2 = w2 == kWaveSaw;
    if (!(saw1 || w1 == kWaveSquare) || !(saw2 || w2 == kWaveSquare))
        return false;
    if (saw1 && saw2)
        renderMix4T<kWaveSaw, kWaveSaw>(c, out, stride, n);
    else if (saw1)
        renderMix4T<kWaveSaw, kWaveSquare>(c, out, stride, n);
    else if (saw2)
        renderMix4T<kWaveSquare, kWaveSaw>(c, out, stride, n);
    else
        renderMix4T<kWaveSquare, kWaveSquare>(c, out, stride, n);
    return true;
}

// ---- Precise mode ----
//
// The saw, square and sub are generated kLead samples ahead of the output as naive waveforms
// at exact phase increments; each jump (a wrap, an edge, a sync reset) is located to a fraction
// of a sample and its band-limited residual is added around it. The triangle, sine and noises
// have no jumps of their own and play at the output sample, as in the classic mode.
//
// The lead generators write into a buffer `buf` where buf[k] is the k-th lead sample of a pass;
// the kHalfWidth samples before buf[0] are still there for the residuals that reach back.

namespace {

using VorlixStepResidual::addStep;
using VorlixStepResidual::kHalfWidth;
constexpr uint32_t kHalfCycle = 0x80000000u;
constexpr float kSawScale = 4.656613e-10f; // 2^-31, as the classic saw

// Kinds of lead generator: a band-limited saw, a band-limited square, or none (the wave plays
// at the output sample).
constexpr int kLeadSaw = kWaveSaw;
constexpr int kLeadSquare = kWaveSquare;
constexpr int kLeadNone = -1;

constexpr int leadKind(int wave) { return wave == kWaveSaw ? kLeadSaw : wave == kWaveSquare ? kLeadSquare : kLeadNone; }

// Steps a pass is long at most; the quiet counts below need not look further.
constexpr int kQuietCap = VorlixPreciseLead::kChunk;

// Steps certain to pass before a phase moving by increment (1 / increment given) reaches
// the next multiple of the boundary distance ahead of it, capped at kQuietCap: the whole steps
// below distance / increment, one fewer when that is whole (the step that lands on the
// boundary holds the jump). Three float roundings put the estimate within 4e-6 steps where the
// count is below the cap; the margin of 0.001 covers that.
inline int quietSteps(uint32_t distance, float invIncrement)
{
    const float q = (distance == 0 ? 4294967296.0f : float(distance)) * invIncrement - 0.001f;
    return q < float(kQuietCap) ? (q > 0.0f ? int(q) : 0) : kQuietCap;
}

// One lead generator. step() makes lead sample k with its jumps (reset: the fraction (0, 1]
// of the step at which the sync master wrapped, or 0); valueAt(j) is the value j steps on
// while nothing jumps, and advance(m) moves on by m such steps.
template <int L>
struct LeadRunner
{
    void load(const VorlixWaveGens&) {}
    float step(float*, int, float, float) { return 0.0f; }
    float valueAt(uint32_t) const { return 0.0f; }
    __m128i lanes() const { return _mm_setzero_si128(); }
    __m128 values4(__m128i) const { return _mm_setzero_ps(); }
    uint32_t increment = 0;
    void advance(uint32_t) {}
    int quiet() const { return kQuietCap; }
    void store(VorlixWaveGens&) const {}
};

// The saw's sample k is its value after the step, so a jump inside step k falls between
// samples k - 1 and k.
template <>
struct LeadRunner<kLeadSaw>
{
    uint32_t phase, increment;
    float invIncrement;
    void load(const VorlixWaveGens& g)
    {
        phase = g.saw.phase;
        increment = g.saw.increment;
        invIncrement = 1.0f / float(increment);
    }
    float step(float* buf, int k, float gain, float reset)
    {
        float* taps = buf + k - kHalfWidth; // base sample k - 1
        const uint32_t p0 = phase;
        uint32_t p1 = p0 + increment;
        if (reset > 0.0f)
            p1 = p0 + uint32_t(reset * float(increment)); // the phase at the reset
        if (((~p0 & p1) >> 31) != 0)                     // wrap from +1 to -1
            addStep(taps, float(kHalfCycle - p0) * invIncrement, -2.0f * gain);
        if (reset > 0.0f)
        {
            addStep(taps, reset, -float(int32_t(p1)) * kSawScale * gain); // back to 0
            p1 = uint32_t((1.0f - reset) * float(increment));
        }
        phase = p1;
        return float(int32_t(p1)) * kSawScale;
    }
    float valueAt(uint32_t j) const { return float(int32_t(phase + (j + 1) * increment)) * kSawScale; }
    // The phases of valueAt(0 .. 3), and their values: the same operations, four at a time.
    __m128i lanes() const
    {
        return _mm_setr_epi32(int(phase + increment), int(phase + 2 * increment), int(phase + 3 * increment),
                              int(phase + 4 * increment));
    }
    __m128 values4(__m128i p) const { return _mm_mul_ps(_mm_cvtepi32_ps(p), _mm_set1_ps(kSawScale)); }
    void advance(uint32_t m) { phase += m * increment; }
    int quiet() const { return quietSteps(kHalfCycle - phase, invIncrement); }
    void store(VorlixWaveGens& g) const { g.saw.phase = phase; }
};

// Square and sub: sample k is the level before the step, so a jump inside step k falls between
// samples k and k + 1.
struct LeadSquareCore
{
    uint32_t phase, increment;
    float invIncrement, magnitude, last;
    void edges(float* taps, uint32_t p0, uint32_t p1, float height) const
    {
        if (((~p0 & p1) >> 31) != 0) // falling at half a cycle
            addStep(taps, float(kHalfCycle - p0) * invIncrement, -height);
        if (((p0 & ~p1) >> 31) != 0) // rising at the wrap
            addStep(taps, float(0u - p0) * invIncrement, height);
    }
    float step(float* buf, int k, float gain, float reset)
    {
        float* taps = buf + k - kHalfWidth + 1; // base sample k
        const uint32_t p0 = phase;
        last = int32_t(p0) < 0 ? -magnitude : magnitude;
        const float height = 2.0f * magnitude * gain;
        if (reset > 0.0f)
        {
            const uint32_t at = p0 + uint32_t(reset * float(increment));
            edges(taps, p0, at, height);
            if (int32_t(at) < 0) // a reset starts the high half
                addStep(taps, reset, height);
            phase = uint32_t((1.0f - reset) * float(increment));
        }
        else
        {
            phase = p0 + increment;
            edges(taps, p0, phase, height);
        }
        return last;
    }
    float valueAt(uint32_t j) const { return int32_t(phase + j * increment) < 0 ? -magnitude : magnitude; }
    __m128i lanes() const
    {
        return _mm_setr_epi32(int(phase), int(phase + increment), int(phase + 2 * increment), int(phase + 3 * increment));
    }
    __m128 values4(__m128i p) const
    {
        const __m128 sign = _mm_castsi128_ps(_mm_slli_epi32(_mm_srai_epi32(p, 31), 31));
        return _mm_xor_ps(_mm_set1_ps(magnitude), sign);
    }
    void advance(uint32_t m)
    {
        if (m == 0)
            return;
        last = valueAt(m - 1);
        phase += m * increment;
    }
    // Edges lie at every multiple of half a cycle.
    int quiet() const { return quietSteps(kHalfCycle - (phase & (kHalfCycle - 1)), invIncrement); }
};

template <>
struct LeadRunner<kLeadSquare> : LeadSquareCore
{
    void load(const VorlixWaveGens& g)
    {
        phase = g.square.phase;
        increment = g.square.increment;
        invIncrement = 1.0f / float(increment);
        last = g.square.amplitude;
        magnitude = std::fabs(last);
    }
    void store(VorlixWaveGens& g) const
    {
        g.square.phase = phase;
        g.square.amplitude = last;
    }
};

struct LeadSub : LeadSquareCore
{
    void load(const VorlixSubOsc& s)
    {
        phase = s.phase;
        increment = s.increment;
        invIncrement = 1.0f / float(increment);
        last = s.amplitude;
        magnitude = std::fabs(last);
    }
    void store(VorlixSubOsc& s) const
    {
        s.phase = phase;
        s.amplitude = last;
    }
};

// The lead part of a copy: sync master, sub and the band-limited oscillators.
template <int L1, int L2>
struct LeadGens
{
    LeadRunner<L1> o1;
    LeadRunner<L2> o2;
    LeadSub sub;
    uint32_t master, masterIncrement;
    float invMasterIncrement, gain1, gain2, level;
    bool synced1, synced2, masterMatters;

    void load(const VorlixGenOsc& c)
    {
        o1.load(c.gen1);
        o2.load(c.gen2);
        sub.load(c.sub);
        master = c.lead.masterPhase;
        masterIncrement = c.syncMaster.increment;
        invMasterIncrement = 1.0f / float(masterIncrement);
        gain1 = (1.0f - c.mix) * c.invert1;
        gain2 = c.mix * c.invert2;
        level = c.subLevel;
        synced1 = c.sync1 != 0.0f; // as in the classic mode: any sync amount resets
        synced2 = c.sync2 != 0.0f;
        masterMatters = (L1 != kLeadNone && synced1) || (L2 != kLeadNone && synced2);
    }
    void store(VorlixGenOsc& c) const
    {
        o1.store(c.gen1);
        o2.store(c.gen2);
        sub.store(c.sub);
        c.lead.masterPhase = master;
    }
    // Lead sample k with every jump it holds.
    void step(float* buf, int k)
    {
        const uint32_t previous = master;
        master += masterIncrement;
        // The master wraps (negative to non-negative) this fraction into the step.
        const float wrap = ((previous & ~master) >> 31) != 0 ? float(0u - previous) * invMasterIncrement : 0.0f;
        float naive;
        if (level != 0.0f)
            naive = level * sub.step(buf, k, level, 0.0f);
        else
        {
            sub.advance(1); // a silent sub only keeps its phase running
            naive = 0.0f;
        }
        if constexpr (L1 != kLeadNone)
            naive += gain1 * o1.step(buf, k, gain1, synced1 ? wrap : 0.0f);
        if constexpr (L2 != kLeadNone)
            naive += gain2 * o2.step(buf, k, gain2, synced2 ? wrap : 0.0f);
        buf[k] += naive;
    }
    // Lead samples k .. k + m - 1, known to hold no jump: each value from its step count.
    void quietRun(float* buf, int k, int m)
    {
        // Four samples at a time (the same operations in the same order as one at a time).
        int j = 0;
        if (m >= 4)
        {
            __m128i ps = sub.lanes(), p1 = o1.lanes(), p2 = o2.lanes();
            const __m128i ds = _mm_set1_epi32(int(4 * sub.increment));
            const __m128i d1 = _mm_set1_epi32(int(4 * o1.increment));
            const __m128i d2 = _mm_set1_epi32(int(4 * o2.increment));
            const __m128 lv = _mm_set1_ps(level), g1 = _mm_set1_ps(gain1), g2 = _mm_set1_ps(gain2);
            for (; j + 4 <= m; j += 4)
            {
                __m128 naive = _mm_mul_ps(lv, sub.values4(ps));
                if constexpr (L1 != kLeadNone)
                    naive = _mm_add_ps(naive, _mm_mul_ps(g1, o1.values4(p1)));
                if constexpr (L2 != kLeadNone)
                    naive = _mm_add_ps(naive, _mm_mul_ps(g2, o2.values4(p2)));
                _mm_storeu_ps(buf + k + j, _mm_add_ps(_mm_loadu_ps(buf + k + j), naive));
                ps = _mm_add_epi32(ps, ds);
                p1 = _mm_add_epi32(p1, d1);
                p2 = _mm_add_epi32(p2, d2);
            }
        }
        for (; j < m; ++j)
        {
            const uint32_t u = uint32_t(j);
            float naive = level * sub.valueAt(u);
            if constexpr (L1 != kLeadNone)
                naive += gain1 * o1.valueAt(u);
            if constexpr (L2 != kLeadNone)
                naive += gain2 * o2.valueAt(u);
            buf[k + j] += naive;
        }
        master += uint32_t(m) * masterIncrement;
        sub.advance(uint32_t(m));
        o1.advance(uint32_t(m));
        o2.advance(uint32_t(m));
    }
    // Steps before any generator may jump.
    int quiet() const
    {
        int q = std::min(o1.quiet(), o2.quiet());
        if (level != 0.0f)
            q = std::min(q, sub.quiet());
        if (masterMatters)
            q = std::min(q, quietSteps(0u - master, invMasterIncrement));
        return q;
    }
    // Lead samples 0 .. n - 1 of buf: plain runs while nothing can jump, a full step where
    // something may.
    void run(float* buf, int n)
    {
        int k = 0;
        while (k < n)
        {
            const int m = std::min(n - k, quiet());
            quietRun(buf, k, m);
            k += m;
            if (k < n)
                step(buf, k++);
        }
    }
};

} // namespace

template <int W1, int W2>
void VorlixGenOsc::renderPreciseT(float* __restrict out, int n)
{
    constexpr int L1 = leadKind(W1), L2 = leadKind(W2);
    constexpr int kLead = VorlixPreciseLead::kLead;
    LeadGens<L1, L2> leadGens;
    leadGens.load(*this);
    // Waves without jumps play at the output sample, with the classic runners and the
    // output-time sync master's pulses.
    VorlixWaveRunner<L1 == kLeadNone ? W1 : -1> r1;
    VorlixWaveRunner<L2 == kLeadNone ? W2 : -1> r2;
    r1.load(gen1);
    r2.load(gen2);
    const float direct1 = (1.0f - mix) * invert1;
    const float direct2 = mix * invert2;
    uint32_t masterPhase = syncMaster.phase;
    uint32_t previous = syncMaster.previousPhase;
    const uint32_t masterIncrement = syncMaster.increment;
    float* pending = lead.pending.data();
    for (int start = 0; start < n; start += VorlixPreciseLead::kChunk)
    {
        const int c = std::min(VorlixPreciseLead::kChunk, n - start);
        leadGens.run(pending + kLead, c);
        if constexpr (L1 != kLeadNone && L2 != kLeadNone)
        {
            // Nothing plays at the output sample: the output-time master only keeps counting.
            emitLead(out + start, c);
            previous = masterPhase + uint32_t(c - 1) * masterIncrement;
            masterPhase = previous + masterIncrement;
        }
        else
        {
            for (int k = 0; k < c; ++k)
            {
                previous = masterPhase;
                masterPhase += masterIncrement;
                const bool pulse = ((previous & ~masterPhase) >> 31) != 0;
                const float s1 = pulse ? sync1 : 0.0f;
                const float s2 = pulse ? sync2 : 0.0f;
                float direct = 0.0f;
                if constexpr (L1 == kLeadNone)
                    direct += direct1 * r1.step(s1, s1 == 0.0f ? 0xFFFFFFFFu : 0u);
                if constexpr (L2 == kLeadNone)
                    direct += direct2 * r2.step(s2, s2 == 0.0f ? 0xFFFFFFFFu : 0u);
                out[start + k] = pending[k] + direct;
            }
        }
        if constexpr (L1 == kLeadNone || L2 == kLeadNone)
            shiftLead(c);
    }
    leadGens.store(*this);
    r1.store(gen1);
    r2.store(gen2);
    syncMaster.phase = masterPhase;
    syncMaster.previousPhase = previous;
}

// Plays the next c pending samples as they are and drops them. A whole span moves four samples
// at a time in one pass (a call to memcpy costs more here).
inline void VorlixGenOsc::emitLead(float* out, int c)
{
    float* pending = lead.pending.data();
    if (c != VorlixPreciseLead::kChunk)
    {
        std::copy(pending, pending + c, out);
        shiftLead(c);
        return;
    }
    static_assert(VorlixPreciseLead::kPendingSize == 2 * VorlixPreciseLead::kChunk);
    for (int k = 0; k < VorlixPreciseLead::kChunk; k += 4)
    {
        _mm_storeu_ps(out + k, _mm_loadu_ps(pending + k));
        _mm_storeu_ps(pending + k, _mm_loadu_ps(pending + VorlixPreciseLead::kChunk + k));
        _mm_storeu_ps(pending + VorlixPreciseLead::kChunk + k, _mm_setzero_ps());
    }
}

// Drops the c pending samples just played.
void VorlixGenOsc::shiftLead(int c)
{
    constexpr int kSize = VorlixPreciseLead::kPendingSize;
    float* pending = lead.pending.data();
    if (c == VorlixPreciseLead::kChunk)
    {
        // The usual whole span: the second half moves down, four samples at a time.
        static_assert(kSize == 2 * VorlixPreciseLead::kChunk);
        for (int i = 0; i < VorlixPreciseLead::kChunk; i += 4)
        {
            _mm_storeu_ps(pending + i, _mm_loadu_ps(pending + VorlixPreciseLead::kChunk + i));
            _mm_storeu_ps(pending + VorlixPreciseLead::kChunk + i, _mm_setzero_ps());
        }
    }
    else
    {
        std::memmove(pending, pending + c, sizeof(float) * size_t(kSize - c));
        std::fill(pending + kSize - c, pending + kSize, 0.0f);
    }
}

namespace {

// The jumps the four lanes hold at one sample, kind by kind in the order the scalar step adds
// them: for each kind, which lanes hold it, where it falls and how high it is. Saw jumps fall
// between samples k - 1 and k, square and sub jumps between k and k + 1 (base: the first tap's
// offset from sample k).
struct LaneJumps
{
    static constexpr int kKinds = 5; // sub edge; each oscillator's edge or wrap, and its reset
    struct Kind
    {
        alignas(16) float frac[4];
        alignas(16) float height[4];
        int lanes, base;
    };
    Kind kinds[kKinds];
    int count = 0;
    int lanes = 0; // every lane holding some jump

    void add(__m128i mask, __m128 fracs, __m128 heights, int tapBase)
    {
        const int m = _mm_movemask_ps(_mm_castsi128_ps(mask));
        if (m == 0)
            return;
        Kind& k = kinds[count++];
        k.lanes = m;
        k.base = tapBase;
        _mm_store_ps(k.frac, fracs);
        _mm_store_ps(k.height, heights);
        lanes |= m;
    }
};

inline __m128i signMask(__m128i v) { return _mm_srai_epi32(v, 31); }
inline __m128 negated(__m128 v) { return _mm_xor_ps(v, _mm_set1_ps(-0.0f)); }
inline __m128i blend(__m128i mask, __m128i a, __m128i b) { return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b)); }
inline __m128 squareLevels(__m128i phase, __m128 magnitude)
{
    return _mm_xor_ps(magnitude, _mm_castsi128_ps(_mm_slli_epi32(signMask(phase), 31)));
}
// A square's edge falls where its phase was non-negative and rises where it was negative.
inline __m128 edgeHeights(__m128 height, __m128i phase)
{
    return _mm_xor_ps(height, _mm_castsi128_ps(_mm_andnot_si128(phase, _mm_set1_epi32(INT32_MIN))));
}
inline int signBits(__m128i v) { return _mm_movemask_ps(_mm_castsi128_ps(v)); }

// Steps certain to pass before a phase reaches a jump the given distance ahead (as quietSteps,
// lane by lane): the distance is read as unsigned, its lowest bit dropped, which only errs short.
inline __m128 quietLanes(__m128i distance, __m128 invIncrement)
{
    const __m128 d = _mm_mul_ps(_mm_cvtepi32_ps(_mm_srli_epi32(distance, 1)), _mm_set1_ps(2.0f));
    return _mm_sub_ps(_mm_mul_ps(d, invIncrement), _mm_set1_ps(0.001f));
}

// One band-limited generator of the four lanes, stepped by the scalar step's operations lane by
// lane: the same jumps, fractions, heights, phases and values.
template <int L>
struct LeadLanes : PhaseLanes<L>
{
    using PhaseLanes<L>::phase;
    using PhaseLanes<L>::increment;
    using PhaseLanes<L>::magnitude;
    using PhaseLanes<L>::last;
    __m128 floatIncrement, invIncrement, gain, height;

    void prepare(__m128 oscGain)
    {
        floatIncrement = _mm_cvtepi32_ps(increment); // increments stay below 2^31
        invIncrement = _mm_div_ps(_mm_set1_ps(1.0f), floatIncrement);
        gain = oscGain;
        height = L == kLeadSaw ? _mm_mul_ps(_mm_set1_ps(-2.0f), gain)
                               : _mm_mul_ps(_mm_mul_ps(_mm_set1_ps(2.0f), magnitude), gain);
    }
    // Distance (2^32 wrapping) from the phase to its next jump: a saw's wrap at half a cycle, a
    // square's edge at every multiple of half a cycle.
    __m128i toJump() const
    {
        return _mm_sub_epi32(_mm_set1_epi32(int(kHalfCycle)),
                             L == kLeadSaw ? phase : _mm_and_si128(phase, _mm_set1_epi32(0x7FFFFFFF)));
    }
    // Lanes whose step from phase to after holds a saw's wrap or a square's edge.
    int jumps(__m128i after) const
    {
        return signBits(L == kLeadSaw ? _mm_andnot_si128(phase, after) : _mm_xor_si128(phase, after));
    }
    // The wraps or edges of a step from phase to after, in the lanes of `only` (all ones: every lane).
    void addEdges(__m128i after, LaneJumps& found, __m128i only = _mm_set1_epi32(-1)) const
    {
        // A jump falls its distance into the step: for a square's edge, falling at half a cycle or
        // rising at the wrap, the distance within its half.
        const __m128 fraction = _mm_mul_ps(_mm_cvtepi32_ps(toJump()), invIncrement);
        if constexpr (L == kLeadSaw) // from +1 to -1 where the phase passes half a cycle
            found.add(_mm_and_si128(only, _mm_andnot_si128(phase, after)), fraction, height, -kHalfWidth);
        else
            found.add(_mm_and_si128(only, _mm_xor_si128(phase, after)), fraction, edgeHeights(height, phase),
                      1 - kHalfWidth);
    }
    // A step without resets; returns the sample's value.
    __m128 step(__m128i after, LaneJumps* found)
    {
        if (found != nullptr)
            addEdges(after, *found);
        const __m128 value = L == kLeadSaw ? _mm_mul_ps(_mm_cvtepi32_ps(after), _mm_set1_ps(kSawScale))
                                           : squareLevels(phase, magnitude);
        phase = after;
        return value;
    }
    // A step where the lanes in resets restart at the fraction wrap of it (the synced master's
    // wrap); returns the sample's value.
    __m128 resetStep(__m128i resets, __m128 wrap, LaneJumps& found)
    {
        const __m128i at = blend(resets, _mm_add_epi32(phase, _mm_cvttps_epi32(_mm_mul_ps(wrap, floatIncrement))),
                                 _mm_add_epi32(phase, increment));
        addEdges(at, found);
        const __m128i restart = _mm_cvttps_epi32(_mm_mul_ps(_mm_sub_ps(_mm_set1_ps(1.0f), wrap), floatIncrement));
        if constexpr (L == kLeadSaw)
        {
            // The step from the value reached back to 0.
            const __m128 fall = _mm_mul_ps(_mm_mul_ps(negated(_mm_cvtepi32_ps(at)), _mm_set1_ps(kSawScale)), gain);
            found.add(resets, wrap, fall, -kHalfWidth);
            phase = blend(resets, restart, at);
            return _mm_mul_ps(_mm_cvtepi32_ps(phase), _mm_set1_ps(kSawScale));
        }
        else
        {
            // A reset starts the high half.
            found.add(_mm_and_si128(resets, at), wrap, height, 1 - kHalfWidth);
            const __m128 value = squareLevels(phase, magnitude); // the level before the step
            phase = blend(resets, restart, at);
            return value;
        }
    }
};

} // namespace

// Four precise copies whose oscillators are both lead generators, one copy per SSE lane, one
// sample at a time, by the scalar step's operations lane by lane, so each copy's output is what
// renderPreciseT makes of it. Between jumps the lanes run on without looking for them; jumps are
// found and measured in the lanes, and only their residuals are added lane by lane. The naive
// values wait in lane order and go into the copies' buffers four samples at a time.
template <int L1, int L2>
void VorlixGenOsc::renderPrecise4T(VorlixGenOsc* c, float* out, int stride, int n)
{
    constexpr int kLead = VorlixPreciseLead::kLead;
    constexpr int kChunk = VorlixPreciseLead::kChunk;
    LeadLanes<L1> o1;
    LeadLanes<L2> o2;
    o1.load(c, &VorlixGenOsc::gen1);
    o2.load(c, &VorlixGenOsc::gen2);
    const __m128 mix = lanes(c, &VorlixGenOsc::mix);
    o1.prepare(_mm_mul_ps(_mm_sub_ps(_mm_set1_ps(1.0f), mix), lanes(c, &VorlixGenOsc::invert1)));
    o2.prepare(_mm_mul_ps(mix, lanes(c, &VorlixGenOsc::invert2)));
    // The sub is a square without resets.
    LeadLanes<kLeadSquare> sub;
    sub.phase = _mm_setr_epi32(int(c[0].sub.phase), int(c[1].sub.phase), int(c[2].sub.phase), int(c[3].sub.phase));
    sub.increment = _mm_setr_epi32(int(c[0].sub.increment), int(c[1].sub.increment), int(c[2].sub.increment),
                                   int(c[3].sub.increment));
    sub.magnitude = _mm_andnot_ps(_mm_set1_ps(-0.0f), _mm_setr_ps(c[0].sub.amplitude, c[1].sub.amplitude,
                                                                   c[2].sub.amplitude, c[3].sub.amplitude));
    const __m128 level = lanes(c, &VorlixGenOsc::subLevel);
    sub.prepare(level);
    // A silent sub only keeps its phase running: its edges are no jumps.
    const __m128 audible = _mm_cmpneq_ps(level, _mm_setzero_ps());
    const int audibleSub = _mm_movemask_ps(audible);
    // Any sync amount resets, as in the classic mode.
    const __m128i synced1 = _mm_castps_si128(_mm_cmpneq_ps(lanes(c, &VorlixGenOsc::sync1), _mm_setzero_ps()));
    const __m128i synced2 = _mm_castps_si128(_mm_cmpneq_ps(lanes(c, &VorlixGenOsc::sync2), _mm_setzero_ps()));
    const int syncedLanes = signBits(_mm_or_si128(synced1, synced2));
    __m128i master = _mm_setr_epi32(int(c[0].lead.masterPhase), int(c[1].lead.masterPhase),
                                    int(c[2].lead.masterPhase), int(c[3].lead.masterPhase));
    const __m128i masterIncrement = _mm_setr_epi32(int(c[0].syncMaster.increment), int(c[1].syncMaster.increment),
                                                   int(c[2].syncMaster.increment), int(c[3].syncMaster.increment));
    const __m128 invMasterIncrement = _mm_div_ps(_mm_set1_ps(1.0f), _mm_cvtepi32_ps(masterIncrement));
    // The squares hold the level before the last step.
    __m128i before1 = o1.phase, before2 = o2.phase, beforeSub = sub.phase;
    // Lanes whose sub or master cannot make a jump count as quiet for ever.
    const __m128 neverSub = _mm_andnot_ps(audible, _mm_set1_ps(1.0e9f));
    const __m128 neverMaster = _mm_andnot_ps(_mm_castsi128_ps(_mm_or_si128(synced1, synced2)), _mm_set1_ps(1.0e9f));
    // Samples certain to pass before any lane jumps, at most a span.
    auto quietCount = [&] {
        __m128 q = _mm_min_ps(quietLanes(o1.toJump(), o1.invIncrement), quietLanes(o2.toJump(), o2.invIncrement));
        q = _mm_min_ps(q, _mm_max_ps(quietLanes(sub.toJump(), sub.invIncrement), neverSub));
        q = _mm_min_ps(q, _mm_max_ps(quietLanes(_mm_sub_epi32(_mm_setzero_si128(), master), invMasterIncrement),
                                     neverMaster));
        q = _mm_min_ps(q, _mm_shuffle_ps(q, q, _MM_SHUFFLE(1, 0, 3, 2)));
        q = _mm_min_ps(q, _mm_shuffle_ps(q, q, _MM_SHUFFLE(2, 3, 0, 1)));
        const float f = _mm_cvtss_f32(q);
        return f < float(kChunk) ? (f > 0.0f ? int(f) : 0) : kChunk;
    };

    float* const buffers[4] = {c[0].lead.pending.data() + kLead, c[1].lead.pending.data() + kLead,
                               c[2].lead.pending.data() + kLead, c[3].lead.pending.data() + kLead};
    alignas(16) float naive[kChunk][4]; // sample k's naive value of each lane
    for (int start = 0; start < n; start += kChunk)
    {
        const int count = std::min(kChunk, n - start);
        // The naive values from sample held on are not in the buffers yet. Each goes in after the
        // residuals of its own step and before those of any later step of its lane; a lane's
        // samples between two of its jumps see no residual, so every lane may go at once.
        int held = 0;
        auto release = [&](int end) {
            for (; held + 4 <= end; held += 4)
            {
                __m128 r0 = _mm_load_ps(naive[held]), r1 = _mm_load_ps(naive[held + 1]),
                       r2 = _mm_load_ps(naive[held + 2]), r3 = _mm_load_ps(naive[held + 3]);
                _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
                const __m128 lane[4] = {r0, r1, r2, r3};
                for (int l = 0; l < 4; ++l)
                    _mm_storeu_ps(buffers[l] + held, _mm_add_ps(_mm_loadu_ps(buffers[l] + held), lane[l]));
            }
            for (; held < end; ++held)
                for (int l = 0; l < 4; ++l)
                    buffers[l][held] += naive[held][l];
        };
        for (int k = 0; k < count; ++k)
        {
            // A run of samples no lane jumps in: the naive values alone.
            const int quiet = std::min(count - k, quietCount());
            if (quiet > 0)
            {
                for (const int end = k + quiet; k < end; ++k)
                {
                    const __m128i nextSub = _mm_add_epi32(sub.phase, sub.increment);
                    __m128 mixed = _mm_mul_ps(level, squareLevels(sub.phase, sub.magnitude));
                    mixed = _mm_add_ps(mixed, _mm_mul_ps(o1.gain, o1.step(_mm_add_epi32(o1.phase, o1.increment), nullptr)));
                    mixed = _mm_add_ps(mixed, _mm_mul_ps(o2.gain, o2.step(_mm_add_epi32(o2.phase, o2.increment), nullptr)));
                    sub.phase = nextSub;
                    master = _mm_add_epi32(master, masterIncrement);
                    _mm_store_ps(naive[k], mixed);
                }
                if (k == count)
                {
                    before1 = _mm_sub_epi32(o1.phase, o1.increment);
                    before2 = _mm_sub_epi32(o2.phase, o2.increment);
                    beforeSub = _mm_sub_epi32(sub.phase, sub.increment);
                    break;
                }
            }
            // A sample some lane may jump in.
            before1 = o1.phase, before2 = o2.phase, beforeSub = sub.phase;
            const __m128i nextSub = _mm_add_epi32(sub.phase, sub.increment);
            const __m128i next1 = _mm_add_epi32(o1.phase, o1.increment);
            const __m128i next2 = _mm_add_epi32(o2.phase, o2.increment);
            const __m128i nextMaster = _mm_add_epi32(master, masterIncrement);
            // The master wraps from - to +; only a synced oscillator restarts.
            const __m128i wrapped = signMask(_mm_andnot_si128(nextMaster, master));
            const int resetting = signBits(wrapped) & syncedLanes;
            const int subJumps = sub.jumps(nextSub) & audibleSub;
            const int jumps1 = o1.jumps(next1), jumps2 = o2.jumps(next2);
            __m128 v1, v2;
            if ((resetting | subJumps | jumps1 | jumps2) == 0)
            {
                v1 = o1.step(next1, nullptr);
                v2 = o2.step(next2, nullptr);
                sub.phase = nextSub;
            }
            else
            {
                LaneJumps found;
                if (subJumps != 0)
                    sub.addEdges(nextSub, found, _mm_castps_si128(audible));
                sub.phase = nextSub;
                if (resetting == 0)
                {
                    v1 = o1.step(next1, jumps1 != 0 ? &found : nullptr);
                    v2 = o2.step(next2, jumps2 != 0 ? &found : nullptr);
                }
                else
                {
                    // The fraction of the step at which the master wraps.
                    const __m128 wrap = _mm_and_ps(
                        _mm_castsi128_ps(wrapped),
                        _mm_mul_ps(_mm_cvtepi32_ps(_mm_sub_epi32(_mm_setzero_si128(), master)), invMasterIncrement));
                    v1 = o1.resetStep(_mm_and_si128(wrapped, synced1), wrap, found);
                    v2 = o2.resetStep(_mm_and_si128(wrapped, synced2), wrap, found);
                }
                if (found.lanes != 0)
                    release(k);
                for (int i = 0; i < found.count; ++i)
                {
                    const LaneJumps::Kind& kind = found.kinds[i];
                    for (int m = kind.lanes; m != 0; m &= m - 1)
                    {
                        const int l = __builtin_ctz(unsigned(m));
                        addStep(buffers[l] + k + kind.base, kind.frac[l], kind.height[l]);
                    }
                }
            }
            master = nextMaster;
            __m128 mixed = _mm_mul_ps(level, squareLevels(beforeSub, sub.magnitude));
            mixed = _mm_add_ps(mixed, _mm_mul_ps(o1.gain, v1));
            mixed = _mm_add_ps(mixed, _mm_mul_ps(o2.gain, v2));
            _mm_store_ps(naive[k], mixed);
        }
        release(count);
        for (int l = 0; l < 4; ++l)
            c[l].emitLead(out + l * stride + start, count);
    }
    if constexpr (L1 == kLeadSquare)
        o1.last = squareLevels(before1, o1.magnitude);
    if constexpr (L2 == kLeadSquare)
        o2.last = squareLevels(before2, o2.magnitude);
    o1.store(c, &VorlixGenOsc::gen1);
    o2.store(c, &VorlixGenOsc::gen2);
    alignas(16) uint32_t subPhase[4], masterPhase[4];
    alignas(16) float subLast[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(subPhase), sub.phase);
    _mm_store_si128(reinterpret_cast<__m128i*>(masterPhase), master);
    _mm_store_ps(subLast, squareLevels(beforeSub, sub.magnitude));
    for (int l = 0; l < 4; ++l)
    {
        c[l].sub.phase = subPhase[l];
        c[l].sub.amplitude = subLast[l];
        c[l].lead.masterPhase = masterPhase[l];
        VorlixSyncMaster& m = c[l].syncMaster;
        // The output-time master only keeps counting, as in renderPreciseT.
        m.previousPhase = m.phase + uint32_t(n - 1) * m.increment;
        m.phase = m.previousPhase + m.increment;
    }
}

bool VorlixGenOsc::renderPrecise4(VorlixGenOsc* c, float* out, int stride, int n)
{
    for (int i = 0; i < 4; ++i)
        if (!c[i].precise || c[i].wave1 != c[0].wave1 || c[i].wave2 != c[0].wave2)
            return false;
    const int l1 = leadKind(c[0].wave1), l2 = leadKind(c[0].wave2);
    if (l1 == kLeadNone || l2 == kLeadNone || n <= 0)
        return false;
    if (l1 == kLeadSaw && l2 == kLeadSaw)
        renderPrecise4T<kLeadSaw, kLeadSaw>(c, out, stride, n);
    else if (l1 == kLeadSaw)
        renderPrecise4T<kLeadSaw, kLeadSquare>(c, out, stride, n);
    else if (l2 == kLeadSaw)
        renderPrecise4T<kLeadSquare, kLeadSaw>(c, out, stride, n);
    else
        renderPrecise4T<kLeadSquare, kLeadSquare>(c, out, stride, n);
    return true;
}

// Fills the pending samples as if the lead generators had always run: they start kHalfWidth
// samples before the current output sample (phases taken back linearly) and run up to the
// lead; what they wrote for samples before the output sample is dropped. The output then
// continues from the current phases as the classic mode would.
template <int L1, int L2>
void VorlixGenOsc::primeLeadT()
{
    constexpr int kBefore = kHalfWidth;
    constexpr int kLead = VorlixPreciseLead::kLead;
    constexpr int kSize = VorlixPreciseLead::kPendingSize;
    // Output sample i at scratch[kFirst + i]; the earliest step's residual reaches kHalfWidth back.
    constexpr int kFirst = kBefore + kHalfWidth;
    float scratch[kFirst + kSize] = {};
    shiftLeadPhases(kBefore, true);
    lead.masterPhase = syncMaster.phase - uint32_t(kBefore) * syncMaster.increment;
    LeadGens<L1, L2> leadGens;
    leadGens.load(*this);
    leadGens.run(scratch + kFirst - kBefore, kBefore + kLead);
    leadGens.store(*this);
    std::copy(scratch + kFirst, scratch + kFirst + kSize, lead.pending.begin());
}

void VorlixGenOsc::primeLead()
{
    using Prime = void (VorlixGenOsc::*)();
    static constexpr Prime table[3][3] = {
        {&VorlixGenOsc::primeLeadT<kLeadNone, kLeadNone>, &VorlixGenOsc::primeLeadT<kLeadNone, kLeadSaw>,
         &VorlixGenOsc::primeLeadT<kLeadNone, kLeadSquare>},
        {&VorlixGenOsc::primeLeadT<kLeadSaw, kLeadNone>, &VorlixGenOsc::primeLeadT<kLeadSaw, kLeadSaw>,
         &VorlixGenOsc::primeLeadT<kLeadSaw, kLeadSquare>},
        {&VorlixGenOsc::primeLeadT<kLeadSquare, kLeadNone>, &VorlixGenOsc::primeLeadT<kLeadSquare, kLeadSaw>,
         &VorlixGenOsc::primeLeadT<kLeadSquare, kLeadSquare>}};
    (this->*table[leadKind(wave1) + 1][leadKind(wave2) + 1])();
}

// Moves the lead generators' phases by whole steps of their increments (back: earlier).
void VorlixGenOsc::shiftLeadPhases(uint32_t steps, bool back)
{
    auto shift = [&](uint32_t& phase, uint32_t increment) {
        const uint32_t d = steps * increment;
        phase = back ? phase - d : phase + d;
    };
    for (VorlixWaveGens* g : {&gen1, &gen2})
    {
        shift(g->saw.phase, g->saw.increment);
        shift(g->square.phase, g->square.increment);
    }
    shift(sub.phase, sub.increment);
}

void VorlixGenOsc::setPrecise(bool on)
{
    if (on == precise)
        return;
    // Leaving: the lead generators are kLead samples ahead of the output.
    if (!on)
        shiftLeadPhases(VorlixPreciseLead::kLead, true);
    precise = on;
    // The other rule derives every frequency and increment anew from the current pitch.
    lastCv1 = lastCv2 = lastSyncCv = lastSubCv = kNoCv;
    gen1.saw.frequency = gen2.saw.frequency = syncMaster.frequency = sub.frequency = -1.0f;
    updateFrequencies();
    if (on)
        primeLead();
}
