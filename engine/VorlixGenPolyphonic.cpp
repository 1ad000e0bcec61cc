// Patch, parameter routing and sample rate of the polyphonic engine; rendering is in the header.
#include "VorlixGenPolyphonic.h"

#include <cmath>

#include "VorlixParamID.h"

VorlixGenPolyphonic::VorlixGenPolyphonic()
{
    voiceBank.polyphony = 1;
    voiceBank.activeCount = 0;
    voiceBank.resetOrder();
    voiceBank.legato = true;
    initPatch();
}

void VorlixGenPolyphonic::initPatch()
{
    // The order matters: later calls recompute what earlier ones set (kUseUnisonNice resets the
    // per-copy detune factors applied with the detunes).
    setParam(kOsc1WaveType, 0.0f);
    setParam(kOsc1Detune, 0.5f);
    setParam(kOsc2WaveType, 0.0f);
    setParam(kOsc2Detune, 0.5f);
    setParam(kSyncOnTrigger, 0.0f);
    setParam(kUseOscSync1, 0.0f);
    setParam(kUseOscSync2, 0.0f);
    setParam(kOsc1Attack, 0.01f);
    setParam(kOsc1Decay, 0.1f);
    setParam(kOsc1Sustain, 0.2f);
    setParam(kOsc1Release, 0.2f);
    setParam(kFilt1Cutoff, 1.0f);
    setParam(kRes, 0.0f);
    setParam(kFilt2Cutoff, 1.0f);
    setParam(kFilterEnvAmount, 1.0f);
    setParam(kDistortionType, 0.0f);
    setParam(kKeyboardTracking, 1.0f);
    setParam(kFilt1Attack, 0.05f);
    setParam(kFilt1Decay, 0.1f);
    setParam(kFilt1Sustain, 0.2f);
    setParam(kFilt1Release, 0.2f);
    setParam(kOutputLevel, 0.6090134382247925f);
    setParam(kGain, 0.0f);
    setParam(kOscMix, 0.5f);
    setParam(kUnisonDetune, 0.5f);
    setParam(kUseFilterEnvVelocity, 0.0f);
    setParam(kOsc1Invert, 0.0f);
    setParam(kOsc2Invert, 0.0f);
    setParam(kUseUnison, 0.0f);
    setParam(kUseUnisonNice, 0.0f);
    setParam(kUseExp, 0.0f);
    setParam(kMaxPoly, 10.0f);
    voiceBank.legato = false;
    setParam(kSlideTime, 0.0f);
    setParam(kSubOscLevel, 0.0f);
    setParam(kSubOscOctave, 0.0f);
}

void VorlixGenPolyphonic::clear()
{
    patchVoice.clear();
    for (VorlixGenVoice& v : voiceBank.voices)
        v = patchVoice;
}

void VorlixGenPolyphonic::setSampleRate(float rate)
{
    // A rate that is not a positive finite number would turn every period and time into NaN or
    // infinity; the previous rate stays.
    if (!(rate > 0.0f) || !std::isfinite(rate))
        return;
    sampleRate = rate;
    invSampleRate = 1.0f / rate;
    patchVoice.setSampleRate(rate);
    for (VorlixGenVoice& v : voiceBank.voices)
        v.setSampleRate(rate);
}

void VorlixGenPolyphonic::setParam(int index, float value)
{
    // NaN or infinity would poison a voice for good (envelopes, filter state); no knob makes one.
    if (!std::isfinite(value))
        return;
    patchVoice.setParam(index, value);
    if (index == kMaxPoly)
    {
        if (!(value >= 0.0f && value <= 32.0f) || value == static_cast<float>(voiceBank.polyphony))
            return;
        voiceBank.ReleaseAll(false);
        // 32 gives 31: one voice always stays outside the rendered region.
        voiceBank.polyphony = std::clamp(syn::Math::truncToInt(value), int32_t(0), int32_t(31));
        voiceBank.activeCount = 0;
        voiceBank.resetOrder();
        for (VorlixGenVoice& v : voiceBank.voices)
            v = patchVoice;
        return;
    }
    if (index == kUseLegato)
    {
        voiceBank.legato = value >= 0.5f;
        return;
    }
    // Only the voices the polyphony lets play: the others are never triggered before the next
    // polyphony change, which replaces every voice by the patch voice anyway. A third of the work
    // of a host's automation at the usual polyphonies.
    for (int i = 0; i < renderedVoices(); ++i)
        voiceBank.voiceAt(i).setParam(index, value);
}

void VorlixGenPolyphonic::setPreciseOscillators(bool on)
{
    patchVoice.setPrecise(on);
    for (VorlixGenVoice& v : voiceBank.voices)
        v.setPrecise(on);
}

int VorlixGenPolyphonic::activeVoiceCount()
{
    int n = 0;
    for (int i = 0; i < renderedVoices(); ++i)
        if (!voiceBank.voiceAt(i).isIdle())
            ++n;
    return n;
}

void VorlixGenPolyphonic::setPitchBend(float semitones)
{
    if (!std::isfinite(semitones))
        return;
    const float octaves = semitones * 0.083333336f; // 1/12 in single precision, as for notes
    patchVoice.setPitchBend(octaves);
    patchVoice.bend = octaves; // the patch voice never renders; rebuilt voices start at the wheel
    for (VorlixGenVoice& v : voiceBank.voices)
        v.setPitchBend(octaves);
}
