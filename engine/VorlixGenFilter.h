// Four-stage resonant low-pass filter of one voice side, and the waveshaping distortion that
// follows it.
#pragma once

#include <cmath>

struct VorlixGenFilter
{
    float s = 0.0f; // feedback
    float y1 = 0.0f;
    float y2 = 0.0f;
    float y3 = 0.0f;
    float y4 = 0.0f;
    float g1 = 1.0f;
    float g2 = 1.0f;
    float g3 = 1.0f;
    float g4 = 1.0f;
    float sampleRate = 44100.0f;

    // Two passes per sample on the same input: f is the per-sample cutoff coefficient
    // (0.001..0.999), resonance 0.001..0.999. The first stage is clamped, which keeps the
    // later stages (leaky integrators) and the feedback bounded.
    inline float process(float x, float f, float resonance)
    {
        const float g = 1.0f - f;
        const float k = resonance * 30.6227f;
        float fs = s, a1 = y1, a2 = y2, a3 = y3, a4 = y4;
        for (int pass = 0; pass < 2; ++pass)
        {
            const float fb = fs * 0.418f + k * a4 * 0.582f;
            const float clip = fs > 1.0f ? 0.64f : 0.64f * fs;
            const float u = x - (fb * 0.36f + clip);
            float v = u * f + a1 * g * g1;
            // Written so that a NaN lands on +1: the state can never turn into NaN.
            v = v < 1.0f ? v : 1.0f;
            v = v > -1.0f ? v : -1.0f;
            a1 = v;
            a2 = a1 * f + a2 * g * g2;
            a3 = a2 * f + a3 * g * g3;
            a4 = a3 * f + a4 * g * g4;
            fs = fb;
        }
        s = fs;
        y1 = a1;
        y2 = a2;
        y3 = a3;
        y4 = a4;
        return a4;
    }
};

// Waveshapers on the filter output; any type other than 1 and 2 is the soft clipper of type 0.
inline float vorlixDistort(float y, float drive, int type)
{
    switch (type)
    {
    case 1: {
        const float a = drive * y * 11.5f;
        const float a2 = a * a;
        const float b = 1.3f * (a2 * a2 * a);
        return 10.0f * b / (9.0f * std::fabs(b) + 1.0f) * 0.25f * 0.8f;
    }
    case 2: {
        const float a = drive * y * 3.2f;
        const float c = a > 0.2f ? 0.2f : (a < -0.2f ? -0.2f : a);
        const float d = 0.09f * a + c;
        return d > 0.25f ? 0.25f : (d < -0.25f ? -0.25f : d);
    }
    default: {
        const float a = drive * y;
        const float b = 19.0f * a / (18.0f * std::fabs(a) + 1.0f) * 0.25f;
        return 19.0f * b / (18.0f * std::fabs(b) + 1.0f) * 0.25f;
    }
    }
}
