// Four-stage resonant low-pass filter of one voice side, and the waveshaping distortion that
// follows it.
#pragma once

#include <cmath>
#include <xmmintrin.h>

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
    bool unitGains() const { return g1 == 1.0f && g2 == 1.0f && g3 == 1.0f && g4 == 1.0f; }

    // UnitGains: all stage gains are 1 (they always are), so y * g * gi is y * g exactly and the
    // multiplications by gi can be left out.
    template <bool UnitGains = false>
    __attribute__((always_inline)) inline float process(float x, float f, float resonance)
    {
        const float g = 1.0f - f;
        const float k = resonance * 30.6227f;
        float fs = s, a1 = y1, a2 = y2, a3 = y3, a4 = y4;
        for (int pass = 0; pass < 2; ++pass)
        {
            const float fb = fs * 0.418f + k * a4 * 0.582f;
            const float clip = 0.64f * (fs < 1.0f ? fs : 1.0f); // 0.64 above 1, else 0.64 s
            const float u = x - (fb * 0.36f + clip);
            float v = u * f + (UnitGains ? a1 * g : a1 * g * g1);
            // Written so that a NaN lands on +1: the state can never turn into NaN.
            v = v < 1.0f ? v : 1.0f;
            v = v > -1.0f ? v : -1.0f;
            a1 = v;
            a2 = a1 * f + (UnitGains ? a2 * g : a2 * g * g2);
            a3 = a2 * f + (UnitGains ? a3 * g : a3 * g * g3);
            a4 = a3 * f + (UnitGains ? a4 * g : a4 * g * g4);
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
        float c = a < 0.2f ? a : 0.2f;
        c = c > -0.2f ? c : -0.2f;
        float d = 0.09f * a + c;
        d = d < 0.25f ? d : 0.25f;
        return d > -0.25f ? d : -0.25f;
    }
    default: {
        const float a = drive * y;
        const float b = 19.0f * a / (18.0f * std::fabs(a) + 1.0f) * 0.25f;
        return 19.0f * b / (18.0f * std::fabs(b) + 1.0f) * 0.25f;
    }
    }
}

// The left and right filters side by side in the two low lanes of an SSE register: exactly the
// operations of VorlixGenFilter::process, both sides at once.
struct VorlixFilterPair
{
    __m128 s, y1, y2, y3, y4, g1, g2, g3, g4, k;

    static __m128 pair(float left, float right) { return _mm_setr_ps(left, right, 0.0f, 0.0f); }
    static float lane0(__m128 v) { return _mm_cvtss_f32(v); }
    static float lane1(__m128 v) { return _mm_cvtss_f32(_mm_shuffle_ps(v, v, 1)); }

    void load(const VorlixGenFilter& l, const VorlixGenFilter& r, float resonanceL, float resonanceR)
    {
        s = pair(l.s, r.s);
        y1 = pair(l.y1, r.y1);
        y2 = pair(l.y2, r.y2);
        y3 = pair(l.y3, r.y3);
        y4 = pair(l.y4, r.y4);
        g1 = pair(l.g1, r.g1);
        g2 = pair(l.g2, r.g2);
        g3 = pair(l.g3, r.g3);
        g4 = pair(l.g4, r.g4);
        k = pair(resonanceL * 30.6227f, resonanceR * 30.6227f);
    }
    // Four independent filters, one per lane (two voices' sides); unit stage gains only.
    void load4(const VorlixGenFilter* const f[4], const float resonance[4])
    {
        s = _mm_setr_ps(f[0]->s, f[1]->s, f[2]->s, f[3]->s);
        y1 = _mm_setr_ps(f[0]->y1, f[1]->y1, f[2]->y1, f[3]->y1);
        y2 = _mm_setr_ps(f[0]->y2, f[1]->y2, f[2]->y2, f[3]->y2);
        y3 = _mm_setr_ps(f[0]->y3, f[1]->y3, f[2]->y3, f[3]->y3);
        y4 = _mm_setr_ps(f[0]->y4, f[1]->y4, f[2]->y4, f[3]->y4);
        g1 = g2 = g3 = g4 = _mm_set1_ps(1.0f);
        k = _mm_setr_ps(resonance[0] * 30.6227f, resonance[1] * 30.6227f, resonance[2] * 30.6227f,
                        resonance[3] * 30.6227f);
    }
    void store4(VorlixGenFilter* const f[4], int count) const
    {
        alignas(16) float v[5][4];
        _mm_store_ps(v[0], s);
        _mm_store_ps(v[1], y1);
        _mm_store_ps(v[2], y2);
        _mm_store_ps(v[3], y3);
        _mm_store_ps(v[4], y4);
        for (int i = 0; i < count; ++i)
        {
            f[i]->s = v[0][i];
            f[i]->y1 = v[1][i];
            f[i]->y2 = v[2][i];
            f[i]->y3 = v[3][i];
            f[i]->y4 = v[4][i];
        }
    }

    void store(VorlixGenFilter& l, VorlixGenFilter& r) const
    {
        l.s = lane0(s), r.s = lane1(s);
        l.y1 = lane0(y1), r.y1 = lane1(y1);
        l.y2 = lane0(y2), r.y2 = lane1(y2);
        l.y3 = lane0(y3), r.y3 = lane1(y3);
        l.y4 = lane0(y4), r.y4 = lane1(y4);
    }

    template <bool UnitGains>
    __attribute__((always_inline)) inline __m128 process(__m128 x, float f)
    {
        return process<UnitGains>(x, _mm_set1_ps(f));
    }

    // Per-lane cutoff coefficients (lanes of different voices).
    template <bool UnitGains>
    __attribute__((always_inline)) inline __m128 process(__m128 x, __m128 fv)
    {
        const __m128 g = _mm_sub_ps(_mm_set1_ps(1.0f), fv);
        const __m128 one = _mm_set1_ps(1.0f);
        auto decay = [](__m128 y, __m128 gv, __m128 gain) {
            return UnitGains ? _mm_mul_ps(y, gv) : _mm_mul_ps(_mm_mul_ps(y, gv), gain);
        };
        __m128 fs = s, a1 = y1, a2 = y2, a3 = y3, a4 = y4;
        for (int pass = 0; pass < 2; ++pass)
        {
            const __m128 fb = _mm_add_ps(_mm_mul_ps(fs, _mm_set1_ps(0.418f)),
                                         _mm_mul_ps(_mm_mul_ps(k, a4), _mm_set1_ps(0.582f)));
            const __m128 clip = _mm_mul_ps(_mm_set1_ps(0.64f), _mm_min_ps(fs, one));
            const __m128 u = _mm_sub_ps(x, _mm_add_ps(_mm_mul_ps(fb, _mm_set1_ps(0.36f)), clip));
            __m128 v = _mm_add_ps(_mm_mul_ps(u, fv), decay(a1, g, g1));
            v = _mm_max_ps(_mm_min_ps(v, one), _mm_set1_ps(-1.0f));
            a1 = v;
            a2 = _mm_add_ps(_mm_mul_ps(a1, fv), decay(a2, g, g2));
            a3 = _mm_add_ps(_mm_mul_ps(a2, fv), decay(a3, g, g3));
            a4 = _mm_add_ps(_mm_mul_ps(a3, fv), decay(a4, g, g4));
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

// vorlixDistort on both lanes; Type is fixed for a whole span.
template <int Type>
inline __m128 vorlixDistortPair(__m128 y, __m128 drive)
{
    const __m128 signMask = _mm_set1_ps(-0.0f);
    auto absolute = [&](__m128 v) { return _mm_andnot_ps(signMask, v); };
    if constexpr (Type == 1)
    {
        const __m128 a = _mm_mul_ps(_mm_mul_ps(drive, y), _mm_set1_ps(11.5f));
        const __m128 a2 = _mm_mul_ps(a, a);
        const __m128 b = _mm_mul_ps(_mm_set1_ps(1.3f), _mm_mul_ps(_mm_mul_ps(a2, a2), a));
        const __m128 q = _mm_div_ps(_mm_mul_ps(_mm_set1_ps(10.0f), b),
                                    _mm_add_ps(_mm_mul_ps(_mm_set1_ps(9.0f), absolute(b)), _mm_set1_ps(1.0f)));
        return _mm_mul_ps(_mm_mul_ps(q, _mm_set1_ps(0.25f)), _mm_set1_ps(0.8f));
    }
    else if constexpr (Type == 2)
    {
        const __m128 a = _mm_mul_ps(_mm_mul_ps(drive, y), _mm_set1_ps(3.2f));
        const __m128 c = _mm_max_ps(_mm_min_ps(a, _mm_set1_ps(0.2f)), _mm_set1_ps(-0.2f));
        const __m128 d = _mm_add_ps(_mm_mul_ps(_mm_set1_ps(0.09f), a), c);
        return _mm_max_ps(_mm_min_ps(d, _mm_set1_ps(0.25f)), _mm_set1_ps(-0.25f));
    }
    else
    {
        const __m128 a = _mm_mul_ps(drive, y);
        const __m128 b = _mm_mul_ps(_mm_div_ps(_mm_mul_ps(_mm_set1_ps(19.0f), a),
                                               _mm_add_ps(_mm_mul_ps(_mm_set1_ps(18.0f), absolute(a)), _mm_set1_ps(1.0f))),
                                    _mm_set1_ps(0.25f));
        return _mm_mul_ps(_mm_div_ps(_mm_mul_ps(_mm_set1_ps(19.0f), b),
                                     _mm_add_ps(_mm_mul_ps(_mm_set1_ps(18.0f), absolute(b)), _mm_set1_ps(1.0f))),
                          _mm_set1_ps(0.25f));
    }
}
