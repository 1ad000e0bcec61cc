// Parameter handling, note start and the control-rate update of one voice.
#include "VorlixGenVoice.h"

#include <algorithm>
#include <cmath>

#include "VorlixParamID.h"

namespace {

void initEnvelope(VorlixGenEnvelope& env, float a, float d, float s, float r)
{
    env.setAttack(a);
    env.setDecay(d);
    env.sustain = s;
    env.setRelease(r);
}

} // namespace

VorlixGenVoice::VorlixGenVoice()
{
    for (VorlixGenEnvelope* env : {&filterEnv, &ampEnv})
    {
        env->sampleRate = 44100.0f;
        env->invSampleRate = 1.0f / 44100.0f;
        env->setGlide();
        initEnvelope(*env, 0.01f, 0.03f, 0.5f, 0.04f);
        env->state = kEnvIdle;
    }
    resonanceL = resonanceR = 0.0f;
    cutoffCoef = 0.999f;
    clear();
    targetPitch = 0.0f;
}

void VorlixGenVoice::clear()
{
    keyTrackDivisor = 8.0f;
    panRight = panLeft = 1.0f;
    velocity = 0.0f;
    velocityToFilterOutput = velocityToFilterSustain = 0.0f;
    cutoffKnob = cutoffBase = 0.0f;
    resonanceKnob = resonanceCurve = 0.0f;
    resonanceL = resonanceR = 0.0f;
    filterEnvAmount = 0.0f;
    distortionMix = 0.0f;

    initEnvelope(ampEnv, 0.01f, 0.1f, 0.2f, 0.2f);
    ampEnv.outputScale = 0.0f;
    ampEnv.sustainScale = 1.0f;
    initEnvelope(filterEnv, 0.05f, 0.1f, 0.2f, 0.2f);
    filterEnv.outputScale = 1.0f;
    for (VorlixGenEnvelope* env : {&filterEnv, &ampEnv})
    {
        env->state = kEnvIdle;
        env->counter = 0.0f;
    }

    unisonMode = kUnisonStereo;
    started = false;
    released = true;

    for (int c = 0; c < kNumCopies; ++c)
    {
        VorlixGenOsc& o = osc[c];
        o.pitch = 4.0f;
        o.sampleRate = 44100.0f;
        o.detuneKnob1 = o.detuneKnob2 = 0.0f;
        o.detune1 = o.detune2 = 0.0f;
        o.detuneFactor1 = o.detuneFactor2 = 1.0f;
        o.unisonAmount = 0.0f;
        o.clean = 0.0f;
        o.sync1 = o.sync2 = 0.0f;
        o.mix = 0.5f;
        o.unisonOffset = 0.0f;
        o.subLevel = 0.0f;
        o.subOctave = -1.0f;
        o.invert1 = o.invert2 = -1.0f;
        o.envelopeCurve = 0;
        o.syncOnTrigger = false;
        // The centre copies (0 and 2) never receive a unison offset.
        o.noUnison = (c == 0 || c == 2);
    }
}

void VorlixGenVoice::setSampleRate(float rate)
{
    for (VorlixGenOsc& o : osc)
        o.setSampleRate(rate);
    filterEnv.setSampleRate(rate);
    ampEnv.setSampleRate(rate);
    filterL.sampleRate = rate;
    filterR.sampleRate = rate;
    // 4 ms time constant: smooths the 7-bit steps of a plain wheel and still follows a fast
    // vibrato by hand.
    bendSmoothing = 1.0f - std::exp(-16.0f / (rate * 0.004f));
}

float VorlixGenVoice::levelCurve(float value)
{
    // Piecewise decibel-like scale: +10 at the top, steeper towards the bottom, -200 at 0.
    const float r = 100.0f - 100.0f * value;
    float d;
    if (r <= 0.0f)
        d = 10.0f;
    else if (r < 48.0f)
        d = 10.0f - 0.41666666f * r;
    else if (r < 84.0f)
        d = -10.0f - 0.8333333f * (r - 48.0f);
    else if (r < 96.0f)
        d = -40.0f - 1.6666666f * (r - 84.0f);
    else if (r < 100.0f)
        d = -60.0f - 35.0f * (r - 96.0f);
    else
        d = -200.0f;
    return syn::Math::smoothExp2Fast(1.1f * (d + 200.0f) / 210.0f);
}

void VorlixGenVoice::setParam(int index, float value)
{
    using syn::Math;
    switch (index)
    {
    case kOsc1Detune:
    case kOsc2Detune:
        for (int c = 0; c < kNumCopies; ++c)
            osc[c].setParam(index, value, kCopyDetuneFactors[c]);
        break;
    case kOsc1Attack:
        ampEnv.setAttack(value);
        break;
    case kOsc1Decay:
        ampEnv.setDecay(value);
        break;
    case kOsc1Sustain:
        ampEnv.sustain = value;
        break;
    case kOsc1Release:
        ampEnv.setRelease(value);
        break;
    case kFilt1Attack:
        filterEnv.setAttack(value);
        break;
    case kFilt1Decay:
        filterEnv.setDecay(value);
        break;
    case kFilt1Sustain:
        filterEnv.sustain = value;
        break;
    case kFilt1Release:
        filterEnv.setRelease(value);
        break;
    case kFilt1Cutoff:
        cutoffKnob = value;
        cutoffBase = Math::smoothExp2Fast(value);
        break;
    case kRes: {
        resonanceKnob = value;
        resonanceCurve = Math::smoothExp2Fast(1.0f - Math::smoothExp2Fast(1.0f - value));
        float r = resonanceCurve * 0.125f;
        r = r < 0.999f ? r : 0.999f;
        r = r > 0.001f ? r : 0.001f;
        resonanceL = resonanceR = r;
        break;
    }
    case kFilt2Cutoff:
        distortionMix = value;
        break;
    case kFilterEnvAmount:
        filterEnvAmount = value;
        break;
    case kGain:
        driveKnobSquaredPlusOne = value * value + 1.0f;
        drive = Math::smoothExp2Fast(driveKnobSquaredPlusOne);
        // Beyond any knob position, but keeps type 1's fifth power finite for wild values.
        drive = std::clamp(drive, -1.0e6f, 1.0e6f);
        break;
    case kUnisonDetune: {
        const std::array<float, kNumCopies> amounts{value, value, -0.6f * value + 0.15f, 0.75f * value - 0.12f,
                                                    0.95f * value + 0.1f};
        for (int c = 0; c < kNumCopies; ++c)
        {
            VorlixGenOsc& o = osc[c];
            const float k = (1.0f - o.clean) * 0.234402f + o.clean * 0.083333336f;
            o.unisonAmount = amounts[c];
            if (!o.noUnison)
                o.setUnisonDetune(amounts[c] * k);
        }
        break;
    }
    case kUseFilterEnvVelocity:
        velocityToFilterOutput = (value == 2.0f) ? 1.0f : 0.0f;
        velocityToFilterSustain = (value == 1.0f) ? 1.0f : 0.0f;
        break;
    case kUseUnison:
        unisonMode = Math::truncToInt(value);
        break;
    case kSlideTime: {
        const float r = 0.81f * value;
        float d = 1.0f - r;
        d = d < 1.0f ? d : 1.0f;
        d = d > 1e-6f ? d : 1e-6f;
        const float d2 = d * d;
        const float d4 = d2 * d2;
        slideCoef = d4 * d4;
        break;
    }
    case kKeyboardTracking:
        keyTrackDivisor = value <= 0.0f ? 0.0f : (2.0f - value) * 4.0f + 8.0f;
        break;
    case kOutputLevel:
        levelKnob = value;
        outputLevel = levelCurve(value);
        break;
    case kDistortionType:
        distortionType = Math::truncToInt(std::floor(2.0f * value + 0.5f));
        break;
    case kPan: {
        const float right = std::max(-value, 0.0f);
        const float left = std::max(value, 0.0f);
        panRight = right > 1.0f ? 0.0f : 1.0f - right;
        panLeft = left > 1.0f ? 0.0f : 1.0f - left;
        break;
    }
    default:
        for (VorlixGenOsc& o : osc)
            o.setParam(index, value, 1.0f);
        break;
    }
}

void VorlixGenVoice::trigger(bool restart, bool legatoStart, float cv, float vel, int length)
{
    targetPitch = cv;
    velocity = vel;
    noteLength = length;
    started = true;

    filterEnv.outputScale = velocityToFilterOutput * vel + (1.0f - velocityToFilterOutput);
    filterEnv.sustainScale = vel * velocityToFilterSustain + (1.0f - velocityToFilterSustain);

    if (restart || legatoStart)
    {
        filterEnv.state = legatoStart ? kEnvLegato : kEnvAttack;
        filterEnv.counter = 0.0f;
        currentPitch = cv;
        if (osc[0].syncOnTrigger && !legatoStart)
            for (VorlixGenOsc& o : osc)
                o.resetOsc();
        ampEnv.state = legatoStart ? kEnvLegato : kEnvAttack;
        ampEnv.outputScale = 1.0f;
        ampEnv.sustainScale = 1.0f;
        ampEnv.counter = 0.0f;
        // A new note starts where the wheel stands, not where this voice last heard it.
        if (!legatoStart)
            bend = bendTarget;
    }

    if (keyTrackDivisor > 0.0f)
    {
        float t = cv / keyTrackDivisor;
        t = t < 1.0f ? t : 1.0f;
        t = t > 0.0f ? t : 0.0f;
        keyTrackOffset = syn::Math::smoothExp2Fast(t);
    }
    else
        keyTrackOffset = 0.0f;

    for (VorlixGenOsc& o : osc)
        o.noteOn(true, currentPitch + bend, vel, length, false);

    released = false;
    pedalHeld = false;
    latchedPanRight = panRight;
    latchedPanLeft = panLeft;
}

void VorlixGenVoice::release()
{
    noteLength = 0;
    started = false;
    pedalHeld = false;
    ampEnv.enterRelease();
    filterEnv.enterRelease();
    released = true;
}

void VorlixGenVoice::controlTick(float coefScale)
{
    const float p = currentPitch;
    const float b = bend;
    float k = slideCoef * coefScale * 2756.25f; // = slide coefficient * 44100 / sample rate
    k = k < 1.0f ? k : 1.0f;
    k = k > 0.0f ? k : 0.0f;
    for (VorlixGenOsc& o : osc)
    {
        o.pitch = p + b;
        o.updateFrequencies();
    }
    currentPitch = syn::Math::smoothGoal(p, targetPitch, k);
    // Within a hundredth of a cent the wheel's value is taken exactly, so that centre is
    // exactly no bend again.
    const float d = bendTarget - b;
    bend = (d > 1.0e-5f || d < -1.0e-5f) ? b + d * bendSmoothing : bendTarget;
}
