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
    // Samples since the last control update, 0..15. Kept across blocks, so that the updates fall
    // on the same samples however the host cuts its stream into blocks.
    int32_t controlPhase = 0;

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

    // Pitch-wheel offset for every voice, sounding or not; 0 is exactly no bend.
    void setPitchBend(float semitones);
    // Sustain pedal: down holds note-offs; up releases every note whose key is up.
    void setSustain(bool down) { voiceBank.setSustain(down); }

private:
    template <typename T>
    void renderVoice(VorlixGenVoice& v, T* left, T* right, long stride, long frames, float coefScale);
    template <typename T>
    void renderVoicePair(VorlixGenVoice& a, VorlixGenVoice& b, T* left, T* right, long stride, long frames,
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
void VorlixGenPolyphonic::renderVoice(VorlixGenVoice& v, T* left, T* right, long stride, long frames,
                                      float coefScale)
{
    int32_t phase = controlPhase;
    for (long k = 0; k < frames && !v.isIdle();)
    {
        if (phase == 0)
            v.controlTick(coefScale);
        const long room = frames - k < kControlInterval - phase ? frames - k : kControlInterval - phase;
        const int n = v.samplesUntilIdle(static_cast<int>(room));
        v.renderAdd(left + k * stride, right + k * stride, stride, n);
        k += n;
        phase = static_cast<int32_t>((phase + n) % kControlInterval);
    }
}

template <typename T>
void VorlixGenPolyphonic::renderWithDelayedNotes(T* left, T* right, long stride, long frames, float coefScale)
{
    for (long k = 0; k < frames; ++k)
    {
        if ((controlPhase + k) % kControlInterval == 0)
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
    controlPhase = controlPhase >= 0 && controlPhase < kControlInterval ? controlPhase : 0;
    const int32_t nextPhase = static_cast<int32_t>((controlPhase + frames) % kControlInterval);
    if (!voiceBank.delayedNotes.empty())
    {
        renderWithDelayedNotes(left, right, stride, frames, coefScale);
        controlPhase = nextPhase;
        return;
    }
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
        renderVoicePair(*sounding[i], *sounding[i + 1], left, right, stride, frames, coefScale);
    if (i < count)
        renderVoice(*sounding[i], left, right, stride, frames, coefScale);
    controlPhase = nextPhase;
}

template <typename T>
void VorlixGenPolyphonic::renderVoicePair(VorlixGenVoice& a, VorlixGenVoice& b, T* left, T* right, long stride,
                                          long frames, float coefScale)
{
    int32_t phase = controlPhase;
    for (long k = 0; k < frames;)
    {
        const bool aOn = !a.isIdle();
        const bool bOn = !b.isIdle();
        if (!aOn && !bOn)
            return;
        if (phase == 0)
        {
            if (aOn)
                a.controlTick(coefScale);
            if (bOn)
                b.controlTick(coefScale);
        }
        const int n = static_cast<int>(frames - k < kControlInterval - phase ? frames - k : kControlInterval - phase);
        T* l = left + k * stride;
        T* r = right + k * stride;
        if (aOn && bOn && a.pairsWith(b))
            VorlixGenVoice::renderPairAdd(a, b, l, r, stride, n);
        else
        {
            // Each voice stops on the sample its release ends.
            if (aOn)
                a.renderAdd(l, r, stride, a.samplesUntilIdle(n));
            if (bOn)
                b.renderAdd(l, r, stride, b.samplesUntilIdle(n));
        }
        k += n;
        phase = static_cast<int32_t>((phase + n) % kControlInterval);
    }
}
