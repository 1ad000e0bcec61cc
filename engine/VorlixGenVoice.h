// One playable note: five unison copies of the oscillator, amplitude and filter envelopes, a
// resonant low-pass filter per side, distortion, level, pan and pitch glide. A plain value
// type: the bank is rebuilt by assigning the patch voice to every bank voice.
#pragma once

#include <array>
#include <cstdint>

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

    VorlixGenVoice();

    void clear();
    void setSampleRate(float rate);
    void setParam(int index, float value);
    void trigger(bool restart, bool legatoStart, float cv, float velocity, int length);

    // Voice-bank note-off: both envelopes into release.
    void release();
    // All-notes-off with stop: silent within the same sample.
    void stopNow() { ampEnv.stopNow(); }
    bool isIdle() const { return ampEnv.state == kEnvIdle; }

    // Once per 16 samples, before them; coefScale = 16 / sample rate.
    void controlTick(float coefScale);

    // One sample per side; the left tick runs first and advances the shared state.
    inline float stereoLeftTick();
    inline float stereoRightTick();

    // Output gain of the kOutputLevel knob (0..1): 4.3e-5 at 0, 2.1435 at 1.
    static float levelCurve(float value);

private:
    static float clampCutoff(float f)
    {
        // NaN-safe ordering: a NaN ends on the upper bound.
        f = f < 0.999f ? f : 0.999f;
        return f > 0.001f ? f : 0.001f;
    }
    inline float finish(VorlixGenFilter& filter, float x, float resonance, float pan);
};

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
    switch (osc[0].envelopeCurve)
    {
    case 0:
        amplitude = a;
        filterMod = e;
        break;
    case 1:
        amplitude = syn::Math::smoothSpline(a);
        filterMod = syn::Math::smoothSpline(e);
        break;
    case 2:
        amplitude = syn::Math::smoothExp2Fast(a);
        filterMod = syn::Math::smoothExp2Fast(e);
        break;
    default:
        break; // keeps the previous values
    }

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
