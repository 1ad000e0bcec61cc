// Linear attack-decay-sustain-release envelope with a fixed-length legato glide; a voice has one
// for the amplitude and one for the filter.
#pragma once

#include <cstdint>

enum VorlixEnvState
{
    kEnvAttack = 0,
    kEnvDecay = 1,
    kEnvSustain = 2,
    kEnvRelease = 3,
    kEnvIdle = 4,
    kEnvLegato = 5
};

struct VorlixGenEnvelope
{
    static constexpr float kGlideSamples = 441.0f; // legato glide length at every rate

    float level = 0.0f;       // running level; the release ramps down from it
    float output = 0.0f;      // last output before scaling
    float startLevel = 0.0f;  // where an attack or glide starts; tracks the release output
    float sampleRate = 44100.0f;
    float invSampleRate = 1.0f / 44100.0f;
    float attack = 0.01f;
    float decay = 0.03f;
    float release = 0.04f;
    float sustain = 0.5f;
    float counter = 0.0f;
    float attackSamples = 441.0f;
    float invAttackSamples = 1.0f / 441.0f;
    float decaySamples = 1323.0f;
    float invDecaySamples = 1.0f / 1323.0f;
    float releaseSamples = 1764.0f;
    float invReleaseSamples = 1.0f / 1764.0f;
    float glideTime = kGlideSamples / 44100.0f;
    float glideSamples = kGlideSamples;
    float invGlideSamples = 1.0f / kGlideSamples;
    float outputScale = 1.0f;
    float sustainScale = 1.0f;
    int32_t gateCountdown = 0; // samples until an automatic release; 0 = none
    int32_t state = kEnvIdle;

    // A stage of under one sample is only ever read at n = 0, where any finite reciprocal gives
    // the same result; 1/0 (or 1/denormal) would be infinite and 0 * inf is NaN.
    static float safeReciprocal(float samples) { return samples >= 1.0f ? 1.0f / samples : 1.0f; }

    void setAttack(float seconds)
    {
        attack = seconds;
        attackSamples = seconds * sampleRate;
        invAttackSamples = safeReciprocal(attackSamples);
    }
    void setDecay(float seconds)
    {
        decay = seconds;
        decaySamples = seconds * sampleRate;
        invDecaySamples = safeReciprocal(decaySamples);
    }
    void setRelease(float seconds)
    {
        release = seconds;
        releaseSamples = seconds * sampleRate;
        invReleaseSamples = safeReciprocal(releaseSamples);
    }
    void setGlide()
    {
        glideSamples = kGlideSamples;
        glideTime = kGlideSamples * invSampleRate;
        invGlideSamples = 1.0f / kGlideSamples;
    }
    void setSampleRate(float rate)
    {
        if (sampleRate == rate)
            return;
        sampleRate = rate;
        invSampleRate = 1.0f / rate;
        setGlide();
        setAttack(attack);
        setDecay(decay);
        setRelease(release);
    }

    // Release from wherever the envelope stands (voice bank note-off).
    void enterRelease()
    {
        gateCountdown = 0;
        if (state != kEnvIdle)
        {
            startLevel = output;
            counter = 0.0f;
            state = kEnvRelease;
        }
    }

    // Silence at once (all-notes-off with stop): idle with output scale 0.
    void stopNow()
    {
        sustainScale = 1.0f;
        state = kEnvIdle;
        counter = 0.0f;
        setGlide();
        setAttack(attack);
        setDecay(decay);
        setRelease(release);
        outputScale = 0.0f;
        startLevel = 0.0f;
    }

    __attribute__((always_inline)) inline float step()
    {
        if (gateCountdown > 0 && --gateCountdown == 0 && state != kEnvIdle)
        {
            startLevel = output;
            counter = 0.0f;
            state = kEnvRelease;
        }
        const float n = counter;
        float out;
        switch (state)
        {
        case kEnvAttack:
            counter = n + 1.0f;
            if (n < attackSamples)
                out = startLevel + (1.0f - startLevel) * n * invAttackSamples;
            else
            {
                state = kEnvDecay;
                counter = 0.0f;
                level = output = 1.0f;
                return outputScale;
            }
            break;
        case kEnvDecay:
            counter = n + 1.0f;
            if (n < decaySamples)
            {
                out = 1.0f + (sustain * sustainScale - 1.0f) * n * invDecaySamples;
                break;
            }
            state = kEnvSustain;
            counter = 0.0f;
            [[fallthrough]];
        case kEnvSustain:
            out = sustain * sustainScale;
            break;
        case kEnvRelease:
            counter = n + 1.0f;
            if (n < releaseSamples)
            {
                out = level * (1.0f - n * invReleaseSamples);
                startLevel = out;
                output = out;
                return out * outputScale;
            }
            state = kEnvIdle;
            counter = 0.0f;
            output = startLevel = 0.0f;
            out = 0.0f;
            break;
        case kEnvLegato:
            counter = n + 1.0f;
            if (n < glideSamples)
                out = startLevel + (sustain * sustainScale - startLevel) * n * invGlideSamples;
            else
            {
                state = kEnvSustain;
                counter = 0.0f;
                out = sustain;
            }
            break;
        default: // idle
            output = startLevel = 0.0f;
            out = 0.0f;
            break;
        }
        level = output = out;
        return out * outputScale;
    }
};
