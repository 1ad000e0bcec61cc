// One playable note: five unison copies of the oscillator, amplitude and filter envelopes, a
// resonant low-pass filter per side, distortion, level, pan and pitch glide. A plain value
// type: the bank is rebuilt by assigning the patch voice to every bank voice.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <type_traits>

#include "SynMath.h"
#include "VorlixGenEnvelope.h"
#include "VorlixGenFilter.h"
#include "VorlixGenOsc.h"

enum VorlixUnisonMode
{
    kUnisonOff = 0,    // mono: copy 0 on both sides
    kUnisonStereo = 1, // copy 0 left, copy 1 right
    kUnisonWide = 2    // copies 4 + 0 + 2 left, 4 + 1 + 3 right
};

class VorlixGenVoice
{
public:
    static constexpr int kNumCopies = 5;
    // Detune factors of the copies given with kOsc1Detune / kOsc2Detune.
    static constexpr std::array<float, kNumCopies> kCopyDetuneFactors{1.0f, 1.0f, -0.25f, 0.75f, 0.5f};

    VorlixGenEnvelope filterEnv;
    VorlixGenEnvelope ampEnv;
    std::array<VorlixGenOsc, kNumCopies> osc;
    VorlixGenFilter filterL;
    VorlixGenFilter filterR;
    float resonanceL = 0.0f;
    float resonanceR = 0.0f;
    float cutoffCoef = 0.999f; // computed by the left tick, reused by the right tick
    float velocityToFilterOutput = 0.0f;  // option 2: the filter envelope's output follows velocity
    float velocityToFilterSustain = 0.0f; // option 1: its sustain follows velocity
    float filterEnvAmount = 0.0f;
    float cutoffKnob = 0.0f;
    float cutoffBase = 0.0f;
    float resonanceKnob = 0.0f;
    float resonanceCurve = 0.0f;
    float levelKnob = 0.0f;
    float outputLevel = 1.0f;
    float driveKnobSquaredPlusOne = 1.0f;
    float drive = 1.0f;
    float distortionMix = 0.0f;
    float filterMod = 0.0f;
    float amplitude = 0.0f;
    float keyTrackOffset = 0.0f;
    float panRight = 1.0f;
    float panLeft = 1.0f;
    float latchedPanRight = 1.0f; // what sounds: pan reaches a note at its trigger only
    float latchedPanLeft = 1.0f;
    float keyTrackDivisor = 8.0f;
    float targetPitch = 0.0f;
    float velocity = 0.0f;
    int32_t noteLength = 0;
    int32_t distortionType = 0;
    float slideCoef = 1.0f;
    float currentPitch = 0.0f;
    int32_t unisonMode = kUnisonStereo;
    float lastLeft = 0.0f;
    float centre = 0.0f;
    bool started = false;
    bool released = true;
    bool pedalHeld = false; // key up, kept sounding by the sustain pedal
    // Pitch-wheel offset in octaves: where the wheel stands, and what sounds. The sounding value
    // follows the wheel once per control step, so a wheel that arrives in coarse steps glides
    // instead of zippering.
    float bendTarget = 0.0f;
    float bend = 0.0f;
    float bendSmoothing = 0.0866f; // share of the remaining distance per control step (44.1 kHz)
    // Inputs of the last envelope-curve evaluation: a held envelope gives the same inputs every
    // sample, and the same inputs give the same curve values.
    float curveInA = kNoInput;
    float curveInE = kNoInput;
    int32_t curveIn = -1;
    static constexpr float kNoInput = -1.0e30f;

    VorlixGenVoice();

    void clear();
    void setSampleRate(float rate);
    void setParam(int index, float value);
    // The oscillator mode of all five copies (see VorlixGenOsc::precise).
    void setPrecise(bool on)
    {
        for (VorlixGenOsc& o : osc)
            o.setPrecise(on);
    }
    void trigger(bool restart, bool legatoStart, float cv, float velocity, int length);

    // Voice-bank note-off: both envelopes into release.
    void release();
    // All-notes-off with stop: silent within the same sample.
    void stopNow() { ampEnv.stopNow(); }
    bool isIdle() const { return ampEnv.state == kEnvIdle; }
    // How many of the next n samples the voice still sounds, counting the sample on which its
    // release ends: rendering stops exactly there, whatever the block size.
    int samplesUntilIdle(int n) const;

    void setPitchBend(float octaves) { bendTarget = octaves; }

    // Once per 16 samples, before them; coefScale = 16 / sample rate.
    void controlTick(float coefScale);

    // One sample per side; the left tick runs first and advances the shared state.
    inline float stereoLeftTick();
    inline float stereoRightTick();

    // The next n (at most kMaxSpan) sample pairs added into left/right at k * stride: the same
    // numbers as n pairs of stereoLeftTick and stereoRightTick, with the unison mode, waveforms
    // and distortion type decided once for the span.
    static constexpr int kMaxSpan = 16;
    template <typename T>
    void renderAdd(T* left, T* right, long stride, int n);

    // Two voices rendered together, their filter sides sharing one SSE register so that one
    // voice's filter recurrence overlaps the other's: the same numbers as renderAdd of a, then
    // renderAdd of b. Only when pairsWith holds for the span.
    bool pairsWith(const VorlixGenVoice& other) const;
    template <typename T>
    static void renderPairAdd(VorlixGenVoice& a, VorlixGenVoice& b, T* left, T* right, long stride, int n);

    // Output gain of the kOutputLevel knob (0..1): 4.3e-5 at 0, 2.1435 at 1.
    static float levelCurve(float value);

private:
    void generateMixes(float (*mixes)[kMaxSpan], int n);
    void stepHeld();
    template <int Mode, int Dist, typename T>
    static void renderPairT(VorlixGenVoice& a, VorlixGenVoice& b, T* left, T* right, long stride, int n);
    template <int Mode, typename T>
    void renderSpan(const float (*mixes)[kMaxSpan], T* left, T* right, long stride, int n);
    template <int Mode, int Dist, bool UnitGains, bool Held, typename T>
    void renderSpanT(const float (*mixes)[kMaxSpan], T* left, T* right, long stride, int n);

    // The envelope curve (copy 0's kUseExp): any other value keeps the previous results.
    __attribute__((always_inline)) static inline void applyCurve(int curve, float a, float e, float& amp, float& mod,
                                                                 float& inA, float& inE, int32_t& inCurve)
    {
        if (a == inA && e == inE && curve == inCurve)
            return;
        inA = a;
        inE = e;
        inCurve = curve;
        switch (curve)
        {
        case 0:
            amp = a;
            mod = e;
            break;
        case 1:
            amp = syn::Math::smoothSpline(a);
            mod = syn::Math::smoothSpline(e);
            break;
        case 2:
            amp = syn::Math::smoothExp2Fast(a);
            mod = syn::Math::smoothExp2Fast(e);
            break;
        default:
            break;
        }
    }

    static float clampCutoff(float f)
    {
        // NaN-safe ordering: a NaN ends on the upper bound.
        f = f < 0.999f ? f : 0.999f;
        return f > 0.001f ? f : 0.001f;
    }
    inline float finish(VorlixGenFilter& filter, float x, float resonance, float pan);
};

inline int VorlixGenVoice::samplesUntilIdle(int n) const
{
    if (ampEnv.state != kEnvRelease || ampEnv.gateCountdown > 0)
        return n;
    // Exact: both are whole or nearly whole sample counts far below 2^24.
    const float left = ampEnv.releaseSamples - ampEnv.counter;
    if (!(left < float(n)))
        return n;
    const int releasing = left > 0.0f ? static_cast<int>(std::ceil(left)) : 0;
    return releasing + 1 < n ? releasing + 1 : n;
}

inline float VorlixGenVoice::finish(VorlixGenFilter& filter, float x, float resonance, float pan)
{
    const float y = filter.process(x + 1e-15f, cutoffCoef, resonance); // 1e-15: no denormal decay
    const float d = vorlixDistort(y, drive, distortionType);
    return ((d - y) * distortionMix + y) * outputLevel * pan;
}

inline float VorlixGenVoice::stereoLeftTick()
{
    const float a = ampEnv.step();
    const float e = filterEnv.step() * filterEnvAmount;
    applyCurve(osc[0].envelopeCurve, a, e, amplitude, filterMod, curveInA, curveInE, curveIn);

    centre = amplitude * osc[4].tick();
    cutoffCoef = clampCutoff(keyTrackOffset + cutoffBase + filterMod);

    float x;
    switch (unisonMode)
    {
    case kUnisonOff:
    case kUnisonStereo:
        x = amplitude * osc[0].tick();
        break;
    case kUnisonWide: {
        const float c2 = osc[2].tick();
        const float c0 = osc[0].tick();
        x = 0.5f * centre + 0.5f * amplitude * c2 + 0.5f * amplitude * c0;
        break;
    }
    default:
        x = 0.0f;
        break;
    }
    lastLeft = finish(filterL, x, resonanceL, latchedPanLeft);
    return lastLeft;
}

inline float VorlixGenVoice::stereoRightTick()
{
    float x;
    switch (unisonMode)
    {
    case kUnisonOff:
        return lastLeft; // mono, left pan gain on both sides
    case kUnisonStereo:
        x = amplitude * osc[1].tick();
        break;
    case kUnisonWide: {
        const float c3 = osc[3].tick();
        const float c1 = osc[1].tick();
        x = 0.5f * centre + 0.5f * amplitude * c3 + 0.5f * amplitude * c1;
        break;
    }
    default:
        x = 0.0f;
        break;
    }
    return finish(filterR, x, resonanceR, latchedPanRight);
}

template <typename T>
void VorlixGenVoice::renderAdd(T* left, T* right, long stride, int n)
{
    if (n <= 0)
        return;
    if (n > kMaxSpan)
        n = kMaxSpan;
    alignas(16) float mixes[kNumCopies][kMaxSpan];
    generateMixes(mixes, n);
    switch (unisonMode)
    {
    case kUnisonOff:
        renderSpan<kUnisonOff>(mixes, left, right, stride, n);
        break;
    case kUnisonStereo:
        renderSpan<kUnisonStereo>(mixes, left, right, stride, n);
        break;
    case kUnisonWide:
        renderSpan<kUnisonWide>(mixes, left, right, stride, n);
        break;
    default:
        renderSpan<-1>(mixes, left, right, stride, n);
        break;
    }
}

inline void VorlixGenVoice::generateMixes(float (*mixes)[kMaxSpan], int n)
{
    // Copies are independent of each other and of the envelopes and filters within a span, so
    // each copy's mix is generated for the whole span first.
    osc[4].renderMix(mixes[4], n); // the centre copy always runs
    switch (unisonMode)
    {
    case kUnisonOff:
        osc[0].renderMix(mixes[0], n);
        break;
    case kUnisonStereo:
        osc[0].renderMix(mixes[0], n);
        osc[1].renderMix(mixes[1], n);
        break;
    case kUnisonWide:
        if (!VorlixGenOsc::renderMix4(osc.data(), mixes[0], kMaxSpan, n))
            for (int c = 0; c < 4; ++c)
                osc[c].renderMix(mixes[c], n);
        break;
    default:
        break;
    }
}

inline bool VorlixGenVoice::pairsWith(const VorlixGenVoice& other) const
{
    auto held = [](const VorlixGenVoice& v) {
        return v.ampEnv.state == kEnvSustain && v.filterEnv.state == kEnvSustain && v.ampEnv.gateCountdown == 0
               && v.filterEnv.gateCountdown == 0 && v.filterL.unitGains() && v.filterR.unitGains();
    };
    auto distortionClass = [](int32_t t) { return (t == 1 || t == 2) ? t : 0; };
    return held(*this) && held(other) && unisonMode == other.unisonMode && unisonMode >= kUnisonOff
           && unisonMode <= kUnisonWide && distortionClass(distortionType) == distortionClass(other.distortionType);
}

inline void VorlixGenVoice::stepHeld()
{
    const float a = ampEnv.step();
    const float e = filterEnv.step() * filterEnvAmount;
    applyCurve(osc[0].envelopeCurve, a, e, amplitude, filterMod, curveInA, curveInE, curveIn);
    cutoffCoef = clampCutoff(keyTrackOffset + cutoffBase + filterMod);
}

template <typename T>
void VorlixGenVoice::renderPairAdd(VorlixGenVoice& a, VorlixGenVoice& b, T* left, T* right, long stride, int n)
{
    if (n <= 0)
        return;
    if (n > kMaxSpan)
        n = kMaxSpan;
    const int dist = (a.distortionType == 1 || a.distortionType == 2) ? a.distortionType : 0;
    auto run = [&](auto mode) {
        constexpr int M = decltype(mode)::value;
        switch (dist)
        {
        case 1: renderPairT<M, 1>(a, b, left, right, stride, n); break;
        case 2: renderPairT<M, 2>(a, b, left, right, stride, n); break;
        default: renderPairT<M, 0>(a, b, left, right, stride, n); break;
        }
    };
    switch (a.unisonMode)
    {
    case kUnisonOff: run(std::integral_constant<int, kUnisonOff>{}); break;
    case kUnisonStereo: run(std::integral_constant<int, kUnisonStereo>{}); break;
    default: run(std::integral_constant<int, kUnisonWide>{}); break;
    }
}

template <int Mode, int Dist, typename T>
void VorlixGenVoice::renderPairT(VorlixGenVoice& a, VorlixGenVoice& b, T* left, T* right, long stride, int n)
{
    alignas(16) float ma[kNumCopies][kMaxSpan];
    alignas(16) float mb[kNumCopies][kMaxSpan];
    a.generateMixes(ma, n);
    b.generateMixes(mb, n);
    a.stepHeld();
    b.stepHeld();
    const float ampA = a.amplitude, ampB = b.amplitude;
    float centreA = a.centre, centreB = b.centre;

    // Lanes: mono: (a left, b left, -, -); otherwise (a left, a right, b left, b right).
    constexpr bool mono = Mode == kUnisonOff;
    const VorlixGenFilter* const in[4] = {&a.filterL, mono ? &b.filterL : &a.filterR, mono ? &a.filterL : &b.filterL,
                                          mono ? &b.filterL : &b.filterR};
    const float res[4] = {a.resonanceL, mono ? b.resonanceL : a.resonanceR, mono ? a.resonanceL : b.resonanceL,
                          mono ? b.resonanceL : b.resonanceR};
    VorlixFilterPair filters;
    filters.load4(in, res);
    auto lanes = [](float a0, float a1, float b0, float b1) {
        return mono ? _mm_setr_ps(a0, b0, a0, b0) : _mm_setr_ps(a0, a1, b0, b1);
    };
    const __m128 cut = lanes(a.cutoffCoef, a.cutoffCoef, b.cutoffCoef, b.cutoffCoef);
    const __m128 driveV = lanes(a.drive, a.drive, b.drive, b.drive);
    const __m128 mixV = lanes(a.distortionMix, a.distortionMix, b.distortionMix, b.distortionMix);
    const __m128 levelV = lanes(a.outputLevel, a.outputLevel, b.outputLevel, b.outputLevel);
    const __m128 panV = lanes(a.latchedPanLeft, a.latchedPanRight, b.latchedPanLeft, b.latchedPanRight);
    alignas(16) float out[4] = {a.lastLeft, mono ? b.lastLeft : 0.0f, b.lastLeft, 0.0f};
    for (int k = 0; k < n; ++k)
    {
        centreA = ampA * ma[4][k];
        centreB = ampB * mb[4][k];
        __m128 x;
        if constexpr (mono)
            x = _mm_setr_ps(ampA * ma[0][k], ampB * mb[0][k], 0.0f, 0.0f);
        else if constexpr (Mode == kUnisonStereo)
            x = _mm_setr_ps(ampA * ma[0][k], ampA * ma[1][k], ampB * mb[0][k], ampB * mb[1][k]);
        else
            x = _mm_setr_ps(0.5f * centreA + 0.5f * ampA * ma[2][k] + 0.5f * ampA * ma[0][k],
                            0.5f * centreA + 0.5f * ampA * ma[3][k] + 0.5f * ampA * ma[1][k],
                            0.5f * centreB + 0.5f * ampB * mb[2][k] + 0.5f * ampB * mb[0][k],
                            0.5f * centreB + 0.5f * ampB * mb[3][k] + 0.5f * ampB * mb[1][k]);
        x = _mm_add_ps(x, _mm_set1_ps(1e-15f));
        const __m128 y = filters.template process<true>(x, cut);
        const __m128 d = vorlixDistortPair<Dist>(y, driveV);
        _mm_store_ps(out, _mm_mul_ps(_mm_mul_ps(_mm_add_ps(_mm_mul_ps(_mm_sub_ps(d, y), mixV), y), levelV), panV));
        // Voice a is added before voice b, as when they are rendered one after the other.
        if constexpr (mono)
        {
            left[k * stride] += out[0];
            right[k * stride] += out[0];
            left[k * stride] += out[1];
            right[k * stride] += out[1];
        }
        else
        {
            left[k * stride] += out[0];
            right[k * stride] += out[1];
            left[k * stride] += out[2];
            right[k * stride] += out[3];
        }
    }
    VorlixGenFilter* const back[4] = {&a.filterL, mono ? &b.filterL : &a.filterR, &b.filterL, &b.filterR};
    filters.store4(back, mono ? 2 : 4);
    a.centre = centreA;
    b.centre = centreB;
    a.lastLeft = out[0];
    b.lastLeft = mono ? out[1] : out[2];
}

template <int Mode, typename T>
void VorlixGenVoice::renderSpan(const float (*mixes)[kMaxSpan], T* left, T* right, long stride, int n)
{
    const bool unit = filterL.unitGains() && filterR.unitGains();
    // Both envelopes sustaining without a pending gate: every step of the span returns the same
    // values, so they (and the curve and cutoff that follow from them) are computed once.
    const bool held = ampEnv.state == kEnvSustain && filterEnv.state == kEnvSustain && ampEnv.gateCountdown == 0
                      && filterEnv.gateCountdown == 0;
    auto run = [&](auto dist) {
        constexpr int D = decltype(dist)::value;
        if (unit)
            held ? renderSpanT<Mode, D, true, true>(mixes, left, right, stride, n)
                 : renderSpanT<Mode, D, true, false>(mixes, left, right, stride, n);
        else
            held ? renderSpanT<Mode, D, false, true>(mixes, left, right, stride, n)
                 : renderSpanT<Mode, D, false, false>(mixes, left, right, stride, n);
    };
    switch (distortionType)
    {
    case 1:
        run(std::integral_constant<int, 1>{});
        break;
    case 2:
        run(std::integral_constant<int, 2>{});
        break;
    default:
        run(std::integral_constant<int, 0>{});
        break;
    }
}

template <int Mode, int Dist, bool UnitGains, bool Held, typename T>
void VorlixGenVoice::renderSpanT(const float (*mixes)[kMaxSpan], T* left, T* right, long stride, int n)
{
    // Hot state in locals for the span, written back after it.
    VorlixGenEnvelope amp = ampEnv;
    VorlixGenEnvelope fenv = filterEnv;
    float ampValue = amplitude;
    float mod = filterMod;
    float centreValue = centre;
    float cut = cutoffCoef;
    float lastL = lastLeft;
    const int curve = osc[0].envelopeCurve;
    float inA = curveInA, inE = curveInE;
    int32_t inCurve = curveIn;
    const float envAmount = filterEnvAmount;
    const float cutoffOffset = keyTrackOffset + cutoffBase; // evaluated left to right as in the tick
    const float mixD = distortionMix;
    const float level = outputLevel;
    if constexpr (Held)
    {
        const float a = amp.step();
        const float e = fenv.step() * envAmount;
        applyCurve(curve, a, e, ampValue, mod, inA, inE, inCurve);
        cut = clampCutoff(cutoffOffset + mod);
    }

    if constexpr (Mode == kUnisonOff)
    {
        VorlixGenFilter filter = filterL;
        const float res = resonanceL;
        const float panL = latchedPanLeft;
        for (int k = 0; k < n; ++k)
        {
            if constexpr (!Held)
            {
                const float a = amp.step();
                const float e = fenv.step() * envAmount;
                applyCurve(curve, a, e, ampValue, mod, inA, inE, inCurve);
                cut = clampCutoff(cutoffOffset + mod);
            }
            centreValue = ampValue * mixes[4][k];
            const float x = ampValue * mixes[0][k];
            const float y = filter.template process<UnitGains>(x + 1e-15f, cut, res);
            const float d = vorlixDistort(y, drive, Dist);
            lastL = ((d - y) * mixD + y) * level * panL;
            left[k * stride] += lastL;
            right[k * stride] += lastL;
        }
        filterL = filter;
    }
    else
    {
        VorlixFilterPair filters;
        filters.load(filterL, filterR, resonanceL, resonanceR);
        const __m128 driveV = _mm_set1_ps(drive);
        const __m128 mixV = _mm_set1_ps(mixD);
        const __m128 levelV = _mm_set1_ps(level);
        const __m128 panV = VorlixFilterPair::pair(latchedPanLeft, latchedPanRight);
        for (int k = 0; k < n; ++k)
        {
            if constexpr (!Held)
            {
                const float a = amp.step();
                const float e = fenv.step() * envAmount;
                applyCurve(curve, a, e, ampValue, mod, inA, inE, inCurve);
                cut = clampCutoff(cutoffOffset + mod);
            }
            centreValue = ampValue * mixes[4][k];
            float xL, xR;
            if constexpr (Mode == kUnisonStereo)
            {
                xL = ampValue * mixes[0][k];
                xR = ampValue * mixes[1][k];
            }
            else if constexpr (Mode == kUnisonWide)
            {
                xL = 0.5f * centreValue + 0.5f * ampValue * mixes[2][k] + 0.5f * ampValue * mixes[0][k];
                xR = 0.5f * centreValue + 0.5f * ampValue * mixes[3][k] + 0.5f * ampValue * mixes[1][k];
            }
            else
            {
                xL = 0.0f;
                xR = 0.0f;
            }
            const __m128 x = _mm_add_ps(VorlixFilterPair::pair(xL, xR), _mm_set1_ps(1e-15f));
            const __m128 y = filters.template process<UnitGains>(x, cut);
            const __m128 d = vorlixDistortPair<Dist>(y, driveV);
            const __m128 out = _mm_mul_ps(
                _mm_mul_ps(_mm_add_ps(_mm_mul_ps(_mm_sub_ps(d, y), mixV), y), levelV), panV);
            lastL = VorlixFilterPair::lane0(out);
            left[k * stride] += lastL;
            right[k * stride] += VorlixFilterPair::lane1(out);
        }
        filters.store(filterL, filterR);
    }
    ampEnv = amp;
    filterEnv = fenv;
    amplitude = ampValue;
    filterMod = mod;
    centre = centreValue;
    cutoffCoef = cut;
    lastLeft = lastL;
    curveInA = inA;
    curveInE = inE;
    curveIn = inCurve;
}
