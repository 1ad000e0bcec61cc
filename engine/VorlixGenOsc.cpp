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

// Plays the next c pending samples as they are (four at a time for a whole span: a call to
// memcpy costs more here) and drops them.
void VorlixGenOsc::emitLead(float* out, int c)
{
    const float* pending = lead.pending.data();
    if (c == VorlixPreciseLead::kChunk)
        for (int k = 0; k < VorlixPreciseLead::kChunk; k += 4)
            _mm_storeu_ps(out + k, _mm_loadu_ps(pending + k));
    else
        std::copy(pending, pending + c, out);
    shiftLead(c);
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

// Four precise copies whose oscillators are both lead generators, one copy per SSE lane, one
// sample at a time. A lane whose sample holds a jump (found from the phases' sign bits) takes the
// scalar step for it; the others get the naive values the quiet runs compute, by the same
// operations in the same order, so each copy's output is what renderPreciseT makes of it.
template <int L1, int L2>
void VorlixGenOsc::renderPrecise4T(VorlixGenOsc* copies, float* out, int stride, int n)
{
    constexpr int kLead = VorlixPreciseLead::kLead;
    LeadGens<L1, L2> g[4];
    alignas(16) uint32_t ps[4], p1[4], p2[4], pm[4];
    alignas(16) uint32_t is[4], i1[4], i2[4], im[4];
    alignas(16) float ms[4], m1[4] = {}, m2[4] = {}, lv[4], g1[4], g2[4];
    for (int c = 0; c < 4; ++c)
    {
        g[c].load(copies[c]);
        ps[c] = g[c].sub.phase, is[c] = g[c].sub.increment, ms[c] = g[c].sub.magnitude;
        p1[c] = g[c].o1.phase, i1[c] = g[c].o1.increment;
        p2[c] = g[c].o2.phase, i2[c] = g[c].o2.increment;
        if constexpr (L1 == kLeadSquare)
            m1[c] = g[c].o1.magnitude;
        if constexpr (L2 == kLeadSquare)
            m2[c] = g[c].o2.magnitude;
        pm[c] = g[c].master, im[c] = g[c].masterIncrement;
        lv[c] = g[c].level, g1[c] = g[c].gain1, g2[c] = g[c].gain2;
    }
    // A saw jumps where its phase wraps from + to -, a square or the sub at either sign change,
    // the master where it wraps from - to + (only a synced oscillator cares; a needless step
    // changes nothing).
    auto jumps = [](__m128i before, __m128i after, int kind) {
        const __m128i d = kind == kLeadSaw ? _mm_andnot_si128(before, after) : _mm_xor_si128(before, after);
        return _mm_movemask_ps(_mm_castsi128_ps(d));
    };
    auto squareValues = [](__m128i p, __m128 magnitude) {
        return _mm_xor_ps(magnitude, _mm_castsi128_ps(_mm_slli_epi32(_mm_srai_epi32(p, 31), 31)));
    };
    __m128i vs = _mm_load_si128(reinterpret_cast<const __m128i*>(ps));
    __m128i v1 = _mm_load_si128(reinterpret_cast<const __m128i*>(p1));
    __m128i v2 = _mm_load_si128(reinterpret_cast<const __m128i*>(p2));
    __m128i vm = _mm_load_si128(reinterpret_cast<const __m128i*>(pm));
    const __m128i ds = _mm_load_si128(reinterpret_cast<const __m128i*>(is));
    const __m128i d1 = _mm_load_si128(reinterpret_cast<const __m128i*>(i1));
    const __m128i d2 = _mm_load_si128(reinterpret_cast<const __m128i*>(i2));
    const __m128i dm = _mm_load_si128(reinterpret_cast<const __m128i*>(im));
    const __m128 magS = _mm_load_ps(ms), mag1 = _mm_load_ps(m1), mag2 = _mm_load_ps(m2);
    const __m128 level = _mm_load_ps(lv), gain1 = _mm_load_ps(g1), gain2 = _mm_load_ps(g2);
    // Whether each lane's last sample was a quiet one, for the squares' held level.
    int quietLanes = 0;
    float* const buffers[4] = {copies[0].lead.pending.data() + kLead, copies[1].lead.pending.data() + kLead,
                               copies[2].lead.pending.data() + kLead, copies[3].lead.pending.data() + kLead};
    for (int start = 0; start < n; start += VorlixPreciseLead::kChunk)
    {
        const int count = std::min(VorlixPreciseLead::kChunk, n - start);
        for (int k = 0; k < count; ++k)
        {
            const __m128i ns = _mm_add_epi32(vs, ds), n1 = _mm_add_epi32(v1, d1), n2 = _mm_add_epi32(v2, d2),
                          nm = _mm_add_epi32(vm, dm);
            const int jumping = jumps(vs, ns, kLeadSquare) | jumps(v1, n1, L1) | jumps(v2, n2, L2) |
                                jumps(nm, vm, kLeadSaw);
            __m128 naive = _mm_mul_ps(level, squareValues(vs, magS));
            naive = _mm_add_ps(naive, _mm_mul_ps(gain1, L1 == kLeadSaw ? _mm_mul_ps(_mm_cvtepi32_ps(n1), _mm_set1_ps(kSawScale))
                                                                      : squareValues(v1, mag1)));
            naive = _mm_add_ps(naive, _mm_mul_ps(gain2, L2 == kLeadSaw ? _mm_mul_ps(_mm_cvtepi32_ps(n2), _mm_set1_ps(kSawScale))
                                                                      : squareValues(v2, mag2)));
            alignas(16) float values[4];
            _mm_store_ps(values, naive);
            if (jumping == 0)
            {
                // The usual sample: no lane jumps, each takes its naive value.
                for (int c = 0; c < 4; ++c)
                    buffers[c][k] += values[c];
                vs = ns, v1 = n1, v2 = n2, vm = nm;
                quietLanes = 15;
                continue;
            }
            _mm_store_si128(reinterpret_cast<__m128i*>(ps), ns);
            _mm_store_si128(reinterpret_cast<__m128i*>(p1), n1);
            _mm_store_si128(reinterpret_cast<__m128i*>(p2), n2);
            _mm_store_si128(reinterpret_cast<__m128i*>(pm), nm);
            for (int c = 0; c < 4; ++c)
            {
                if ((jumping >> c & 1) == 0)
                {
                    buffers[c][k] += values[c];
                    continue;
                }
                // The lane's phases before this sample, for the scalar step.
                LeadGens<L1, L2>& lane = g[c];
                lane.sub.phase = ps[c] - is[c];
                lane.o1.phase = p1[c] - i1[c];
                lane.o2.phase = p2[c] - i2[c];
                lane.master = pm[c] - im[c];
                lane.step(buffers[c], k);
                ps[c] = lane.sub.phase, p1[c] = lane.o1.phase, p2[c] = lane.o2.phase, pm[c] = lane.master;
            }
            quietLanes = ~jumping & 15;
            vs = _mm_load_si128(reinterpret_cast<const __m128i*>(ps));
            v1 = _mm_load_si128(reinterpret_cast<const __m128i*>(p1));
            v2 = _mm_load_si128(reinterpret_cast<const __m128i*>(p2));
            vm = _mm_load_si128(reinterpret_cast<const __m128i*>(pm));
        }
        for (int c = 0; c < 4; ++c)
            copies[c].emitLead(out + c * stride + start, count);
    }
    _mm_store_si128(reinterpret_cast<__m128i*>(ps), vs);
    _mm_store_si128(reinterpret_cast<__m128i*>(p1), v1);
    _mm_store_si128(reinterpret_cast<__m128i*>(p2), v2);
    _mm_store_si128(reinterpret_cast<__m128i*>(pm), vm);
    for (int c = 0; c < 4; ++c)
    {
        LeadGens<L1, L2>& lane = g[c];
        // A square last played a quiet sample holds the level before that step, as advance sets.
        if ((quietLanes >> c & 1) != 0)
        {
            lane.sub.last = int32_t(ps[c] - is[c]) < 0 ? -lane.sub.magnitude : lane.sub.magnitude;
            if constexpr (L1 == kLeadSquare)
                lane.o1.last = int32_t(p1[c] - i1[c]) < 0 ? -lane.o1.magnitude : lane.o1.magnitude;
            if constexpr (L2 == kLeadSquare)
                lane.o2.last = int32_t(p2[c] - i2[c]) < 0 ? -lane.o2.magnitude : lane.o2.magnitude;
        }
        lane.sub.phase = ps[c], lane.o1.phase = p1[c], lane.o2.phase = p2[c], lane.master = pm[c];
        lane.store(copies[c]);
        VorlixSyncMaster& m = copies[c].syncMaster;
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
