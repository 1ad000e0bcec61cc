// The whole synthesizer as its owner sees it: a patch voice holding the sound, a bank of 32
// playable voices, and the block renderer that sums the sounding voices into a stereo buffer.
#pragma once

#include <cstdint>
#include <string>
#include <xmmintrin.h>

#include "VoiceBank.h"
#include "VorlixGenVoice.h"

class VorlixGenPolyphonic
{
public:
    static constexpr int kControlInterval = 16; // samples per control update

    VorlixGenVoice patchVoice; // receives every parameter first; never sounds
    VoiceBank<VorlixGenVoice> voiceBank;
    float sampleRate = 44100.0f;
    float invSampleRate = 1.0f / 44100.0f;
    std::string programName; // set by the owner; the engine never reads it

    VorlixGenPolyphonic();

    void initPatch();
    void clear();
    void setSampleRate(float rate);
    // Plain (converted) values; see VorlixGenConvert.
    void setParam(int index, float value);
    // The oscillator mode: classic (the default: whole-sample periods, naive waveforms, as
    // every stored program was voiced) or precise (exact pitch, band-limited). Not a parameter:
    // the owner stores it with its state. Any thread that may also render (not concurrently).
    void setPreciseOscillators(bool on);
    bool preciseOscillators() const { return patchVoice.osc[0].precise; }

    // Renders `frames` stereo frames into left/right (k * stride for frame k). With replace
    // false the output is added onto what the buffers hold. Allocates nothing unless notes are
    // scheduled ahead.
    template <typename T>
    void processReplacingT(T* left, T* right, int stride, long frames, bool replace);

    // Non-idle voices among the first polyphony entries of the order list.
    int activeVoiceCount();

private:
    template <typename T>
    void renderVoice(VorlixGenVoice& v, T* left, T* right, long stride, long head, long groups, float coefScale);
    template <typename T>
    void renderVoicePair(VorlixGenVoice& a, VorlixGenVoice& b, T* left, T* right, long stride, long head, long groups,
                         float coefScale);
    template <typename T>
    void renderWithDelayedNotes(T* left, T* right, long stride, long frames, float coefScale);
    int renderedVoices() const;
};

namespace vorlix_detail {

// Flush-to-zero and denormals-are-zero while rendering: a decaying tail must not fall into the
// slow denormal range. The caller's control word is restored afterwards.
class DenormalGuard
{
public:
    DenormalGuard() : saved(_mm_getcsr()) { _mm_setcsr(saved | 0x8040u); }
    ~DenormalGuard() { _mm_setcsr(saved); }
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
    unsigned saved;
};

} // namespace vorlix_detail

inline int VorlixGenPolyphonic::renderedVoices() const
{
    const int32_t p = voiceBank.polyphony;
    return p < 0 ? 0 : (p > VoiceBank<VorlixGenVoice>::kNumVoices ? VoiceBank<VorlixGenVoice>::kNumVoices : p);
}

template <typename T>
void VorlixGenPolyphonic::renderVoice(VorlixGenVoice& v, T* left, T* right, long stride, long head, long groups,
                                      float coefScale)
{
    if (head > 0)
        v.renderAdd(left, right, stride, static_cast<int>(head));
    long k = head;
    for (long g = 0; g < groups; ++g, k += kControlInterval)
    {
        v.controlTick(coefScale);
        v.renderAdd(left + k * stride, right + k * stride, stride, kControlInterval);
    }
}

template <typename T>
void VorlixGenPolyphonic::renderWithDelayedNotes(T* left, T* right, long stride, long frames, float coefScale)
{
    const long head = frames % kControlInterval;
    for (long k = 0; k < frames; ++k)
    {
        if (k >= head && (k - head) % kControlInterval == 0)
        {
            for (int i = 0; i < renderedVoices(); ++i)
            {
                VorlixGenVoice& v = voiceBank.voiceAt(i);
                if (!v.isIdle())
                    v.controlTick(coefScale);
            }
        }
        voiceBank.UpdateDelayed(1);
        for (int i = 0; i < renderedVoices(); ++i)
        {
            VorlixGenVoice& v = voiceBank.voiceAt(i);
            if (v.isIdle())
                continue;
            const float l = v.stereoLeftTick();
            const float r = v.stereoRightTick();
            left[k * stride] += l;
            right[k * stride] += r;
        }
    }
}

template <typename T>
void VorlixGenPolyphonic::processReplacingT(T* left, T* right, int stride, long frames, bool replace)
{
    if (frames <= 0)
        return;
    vorlix_detail::DenormalGuard denormals;
    if (replace && stride > 0)
        for (long k = 0, n = frames * stride; k < n; ++k)
            left[k] = T(0);
    if (replace && stride == 1)
        for (long k = 0; k < frames; ++k)
            right[k] = T(0);

    const float coefScale = float(kControlInterval) * invSampleRate;
    if (!voiceBank.delayedNotes.empty())
    {
        renderWithDelayedNotes(left, right, stride, frames, coefScale);
        return;
    }
    const long head = frames % kControlInterval;
    const long groups = frames / kControlInterval;
    // Sounding voices in order, rendered two at a time: the sums per sample keep the order of
    // rendering voice after voice.
    VorlixGenVoice* sounding[VoiceBank<VorlixGenVoice>::kNumVoices];
    int count = 0;
    for (int i = 0; i < renderedVoices(); ++i)
    {
        VorlixGenVoice& v = voiceBank.voiceAt(i);
        if (!v.isIdle())
            sounding[count++] = &v;
    }
    int i = 0;
    for (; i + 1 < count; i += 2)
        renderVoicePair(*sounding[i], *sounding[i + 1], left, right, stride, head, groups, coefScale);
    if (i < count)
        renderVoice(*sounding[i], left, right, stride, head, groups, coefScale);
}

template <typename T>
void VorlixGenPolyphonic::renderVoicePair(VorlixGenVoice& a, VorlixGenVoice& b, T* left, T* right, long stride,
                                          long head, long groups, float coefScale)
{
    auto span = [&](long at, int n) {
        if (a.pairsWith(b))
            VorlixGenVoice::renderPairAdd(a, b, left + at * stride, right + at * stride, stride, n);
        else
        {
            a.renderAdd(left + at * stride, right + at * stride, stride, n);
            b.renderAdd(left + at * stride, right + at * stride, stride, n);
        }
    };
    if (head > 0)
        span(0, static_cast<int>(head));
    long k = head;
    for (long g = 0; g < groups; ++g, k += kControlInterval)
    {
        a.controlTick(coefScale);
        b.controlTick(coefScale);
        span(k, kControlInterval);
    }
}
