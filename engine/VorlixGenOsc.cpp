// Parameter handling, retuning and resets of one unison copy; the per-sample work is inline
// in the header.
#include "VorlixGenOsc.h"

#include <cmath>
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
    g.saw.increment = incrementForFrequency(f, g.saw.sampleRate, g.saw.multiplier);
    g.square.increment = incrementForFrequency(f, g.square.sampleRate, g.square.multiplier);
    retuneTriangle(g.triangle, true);
    retuneSine(g.sine);
}

void VorlixGenOsc::updateFrequency1()
{
    const float cv = pitch + unisonOffset + detune1;
    if (cv == lastCv1)
        return;
    lastCv1 = cv;
    setWaveFrequency(gen1, syn::Math::cv2freqClamped(cv));
}

void VorlixGenOsc::updateFrequency2()
{
    const float cv = pitch + unisonOffset + detune2;
    if (cv == lastCv2)
        return;
    lastCv2 = cv;
    setWaveFrequency(gen2, syn::Math::cv2freqClamped(cv));
}

void VorlixGenOsc::updateSyncMasterFrequency(float cv)
{
    if (cv == lastSyncCv)
        return;
    lastSyncCv = cv;
    const float f = syn::Math::cv2freq(cv);
    if (f == syncMaster.frequency)
        return;
    syncMaster.frequency = f;
    syncMaster.period = 1.0f / f;
    syncMaster.increment = incrementForPeriod(f > 0.0f ? syncMaster.period * syncMaster.sampleRate : kLongestPeriod,
                                              syncMaster.multiplier);
}

void VorlixGenOsc::updateSubFrequency(float cv)
{
    if (cv == lastSubCv)
        return;
    lastSubCv = cv;
    const float f = syn::Math::cv2freq(cv);
    if (f == sub.frequency)
        return;
    sub.frequency = f;
    sub.increment = incrementForFrequency(f, sub.sampleRate, sub.multiplier);
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
            g->saw.increment = incrementForFrequency(g->saw.frequency, rate, g->saw.multiplier);
        }
        if (g->square.sampleRate != rate)
        {
            g->square.sampleRate = rate;
            g->square.increment = incrementForFrequency(g->square.frequency, rate, g->square.multiplier);
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
        syncMaster.increment = incrementForPeriod(
            syncMaster.frequency > 0.0f ? syncMaster.period * rate : kLongestPeriod, syncMaster.multiplier);
    }
    if (sub.sampleRate != rate)
    {
        sub.sampleRate = rate;
        sub.increment = incrementForFrequency(sub.frequency, rate, sub.multiplier);
    }
    sampleRate = rate;
}

void VorlixGenOsc::resetWaveGens(VorlixWaveGens& g)
{
    g.saw.phase = 0;
    g.saw.multiplier = 1;
    g.saw.increment = incrementForFrequency(g.saw.frequency, g.saw.sampleRate, 1);
    g.triangle.value = 0.0f;
    g.triangle.amplitude = 1.0f;
    retuneTriangle(g.triangle, false);
    g.sine.s = 0.5f;
    g.sine.q = 0.0f;
    g.sine.amplitude = 1.0f;
    retuneSine(g.sine);
    g.square.amplitude = 1.0f;
    g.square.phase = 0;
    g.square.increment = incrementForFrequency(g.square.frequency, g.square.sampleRate, g.square.multiplier);
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
    syncMaster.increment = incrementForPeriod(
        syncMaster.frequency > 0.0f ? syncMaster.period * syncMaster.sampleRate : kLongestPeriod, 1);
    sub.amplitude = 1.0f;
    sub.multiplier = 1;
    sub.phase = 0;
    sub.increment = incrementForFrequency(sub.frequency, sub.sampleRate, 1);
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
};

void VorlixGenOsc::renderMix(float* out, int n)
{
    using Row = VorlixMixRow<0, 1, 2, 3, 4, 5, 6>;
    static constexpr std::array<std::array<MixRenderer, kWaveSlots>, kWaveSlots> table{
        Row::row<0>(), Row::row<1>(), Row::row<2>(), Row::row<3>(), Row::row<4>(), Row::row<5>(), Row::row<6>()};
    (this->*table[waveSlot(wave1)][waveSlot(wave2)])(out, n);
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
