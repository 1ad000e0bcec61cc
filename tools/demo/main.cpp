// vorlix-demo OUT.wav: plays a built-in four-bar phrase (bass line, chords, short melody)
// through the engine and writes it as a 32-bit float stereo WAV at 48 kHz.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "VorlixGenConvert.h"
#include "VorlixGenPolyphonic.h"
#include "VorlixParamID.h"

namespace {

struct NoteEvent
{
    double beat;   // start, in beats
    double length; // in beats
    int pitch;     // MIDI note
    float velocity;
};

constexpr double kTempo = 112.0; // beats per minute
constexpr float kRate = 48000.0f;
constexpr int kBlock = 64;

std::vector<NoteEvent> phrase()
{
    std::vector<NoteEvent> notes;
    // Am - F - C - G, one bar each.
    const int roots[4] = {45, 41, 48, 43};
    const int chords[4][3] = {{57, 60, 64}, {57, 60, 65}, {55, 60, 64}, {55, 59, 62}};
    for (int bar = 0; bar < 4; ++bar)
    {
        const double b0 = bar * 4.0;
        for (int e = 0; e < 8; ++e) // eighth-note bass, octave jump on the off-beats
            notes.push_back({b0 + e * 0.5, 0.4, roots[bar] - 12 + ((e & 1) ? 12 : 0), 0.9f});
        for (int n = 0; n < 3; ++n)
            notes.push_back({b0, 3.8, chords[bar][n], 0.6f});
    }
    const NoteEvent melody[] = {{0, 1, 76, 0.8f},  {1, 0.5, 74, 0.8f}, {1.5, 1.5, 72, 0.8f}, {3, 1, 71, 0.8f},
                                {4, 1.5, 72, 0.8f}, {5.5, 0.5, 74, 0.8f}, {6, 2, 76, 0.8f},   {8, 1, 79, 0.8f},
                                {9, 1, 76, 0.8f},  {10, 2, 72, 0.8f},  {12, 1, 74, 0.8f},   {13, 1, 71, 0.8f},
                                {14, 2, 67, 0.8f}};
    for (const NoteEvent& n : melody)
        notes.push_back(n);
    return notes;
}

// A warm saw patch with a little unison and a filter sweep, set through the normalized values
// the way a host would.
void loadPatch(VorlixGenPolyphonic& engine)
{
    const struct { int id; float v; } values[] = {
        {kOsc1WaveType, 0.0f},  {kOsc2WaveType, 0.2f},   {kOsc1Detune, 0.5f},     {kOsc2Detune, 0.53f},
        {kOsc1Attack, 0.12f},   {kOsc1Decay, 0.5f},      {kOsc1Sustain, 0.7f},    {kOsc1Release, 0.25f},
        {kFilt1Cutoff, 0.55f},  {kRes, 0.35f},           {kFilterEnvAmount, 0.3f}, {kFilt1Attack, 0.05f},
        {kFilt1Decay, 0.5f},    {kFilt1Sustain, 0.3f},   {kFilt1Release, 0.2f},   {kOscMix, 0.4f},
        {kUnisonDetune, 0.6f},  {kUseUnison, 0.5f},      {kUseExp, 0.5f},         {kMaxPoly, 1.0f},
        {kKeyboardTracking, 0.5f}, {kOutputLevel, 0.3f}, {kSubOscLevel, 0.2f},    {kSyncOnTrigger, 1.0f},
    };
    for (const auto& p : values)
        engine.setParam(p.id, VorlixGenConvert::convertValue(p.id, p.v));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: %s OUT.wav\n", argv[0]);
        return 2;
    }
    VorlixGenPolyphonic engine;
    engine.setSampleRate(kRate);
    loadPatch(engine);

    struct Edge { long frame; bool on; float cv; float velocity; };
    std::vector<Edge> edges;
    const double framesPerBeat = kRate * 60.0 / kTempo;
    for (const NoteEvent& n : phrase())
    {
        const float cv = static_cast<float>(n.pitch) * 0.083333336f;
        edges.push_back({static_cast<long>(n.beat * framesPerBeat), true, cv, n.velocity});
        edges.push_back({static_cast<long>((n.beat + n.length) * framesPerBeat), false, cv, 0.0f});
    }
    // Note-offs first at equal times, so a repeated pitch is released before it starts again.
    std::stable_sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) {
        return a.frame != b.frame ? a.frame < b.frame : (!a.on && b.on);
    });

    const long total = static_cast<long>(16.0 * framesPerBeat + 2.0 * kRate); // four bars + tail
    std::vector<float> interleaved(static_cast<std::size_t>(total) * 2);
    float left[kBlock], right[kBlock];
    std::size_t next = 0;
    for (long pos = 0; pos < total; pos += kBlock)
    {
        const long n = std::min<long>(kBlock, total - pos);
        // Events take effect at the start of the block they fall in, as in a host.
        while (next < edges.size() && edges[next].frame < pos + n)
        {
            const Edge& e = edges[next++];
            if (e.on)
                engine.voiceBank.Add(true, e.cv, e.velocity, 0, 0);
            else
                engine.voiceBank.Release(e.cv, 0);
        }
        engine.processReplacingT<float>(left, right, 1, n, true);
        for (long k = 0; k < n; ++k)
        {
            interleaved[static_cast<std::size_t>(pos + k) * 2] = left[k];
            interleaved[static_cast<std::size_t>(pos + k) * 2 + 1] = right[k];
        }
    }

    SF_INFO info{};
    info.samplerate = static_cast<int>(kRate);
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(argv[1], SFM_WRITE, &info);
    if (!file)
    {
        std::fprintf(stderr, "vorlix-demo: cannot write %s: %s\n", argv[1], sf_strerror(nullptr));
        return 1;
    }
    const sf_count_t written = sf_writef_float(file, interleaved.data(), total);
    sf_close(file);
    if (written != total)
    {
        std::fprintf(stderr, "vorlix-demo: short write to %s\n", argv[1]);
        return 1;
    }
    float peak = 0.0f;
    for (float s : interleaved)
        peak = std::max(peak, std::fabs(s));
    std::printf("vorlix-demo: %ld frames at %d Hz, peak %.3f -> %s\n", total, info.samplerate, peak, argv[1]);
    return 0;
}
