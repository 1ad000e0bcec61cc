// Engine render cost at 48000 Hz in 64-sample blocks with 10 held voices.
//   vorlix-bench [benchmark options]          the four cases
//   vorlix-bench --render=CASE [--blocks=N] [--precise]
//                                             renders N blocks of one case and exits, for
//                                             valgrind --tool=callgrind (instruction counts);
//                                             --precise with the precise oscillators
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "VorlixGenConvert.h"
#include "VorlixGenPolyphonic.h"
#include "VorlixParamID.h"

namespace {

constexpr float kRate = 48000.0f;
constexpr int kBlock = 64;
constexpr int kVoices = 10;

// Normalized values of the initial saw program ("InitSaw"); IDs 34 and 35 are 0.
constexpr float kProgram0[kNumParams] = {
    0.0f,  0.5f,  0.0f, 0.5f, 0.01f, 0.523482f, 1.0f, 0.154198f, 1.0f, 0.0f, 0.0f, 0.0f,
    0.05f, 0.530111f, 1.0f, 0.1296f, 0.0f, 0.0f, 0.5f, 0.0f, 0.0f, 0.0f, 0.5f, 1.0f,
    1.0f,  0.0f,  0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0.609013f, 0.0f, 0.0f, 0.0f};

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

enum class Case { Saw, Heavy, Pink, Tail };

struct Patch
{
    float values[kNumParams];
    Patch() { std::memcpy(values, kProgram0, sizeof values); }
};

Patch patchFor(Case c)
{
    Patch p;
    p.values[kUseUnison] = 0.0f; // unison off
    switch (c)
    {
    case Case::Saw:
        break;
    case Case::Heavy:
        p.values[kUseUnison] = 1.0f; // wide: all five copies
        p.values[kOsc1WaveType] = 0.0f;
        p.values[kOsc2WaveType] = 0.0f;
        p.values[kOscMix] = 0.5f;
        p.values[kUseOscSync1] = 1.0f;
        p.values[kUseOscSync2] = 1.0f;
        p.values[kOsc1Detune] = 0.3f;
        p.values[kOsc2Detune] = 0.6f;
        p.values[kSubOscLevel] = 1.0f;
        p.values[kDistortionType] = 0.5f; // type 1
        p.values[kFilt2Cutoff] = 1.0f;    // fully wet
        p.values[kGain] = 0.4f;
        p.values[kRes] = 0.95f;
        p.values[kFilt1Cutoff] = 0.7f;
        break;
    case Case::Pink:
        p.values[kOsc1WaveType] = 1.0f;
        p.values[kOsc2WaveType] = 1.0f;
        break;
    case Case::Tail:
        // The saw patch with held notes whose amplitude has decayed to 0: the same work per
        // sample as the saw case, on a signal that has faded towards nothing, where a decaying
        // filter would fall into the slow denormal range.
        p.values[kOsc1Decay] = 0.2f;
        p.values[kOsc1Sustain] = 0.0f;
        break;
    }
    return p;
}

std::unique_ptr<VorlixGenPolyphonic> makeEngine(Case c, bool precise)
{
    auto e = std::make_unique<VorlixGenPolyphonic>();
    e->setPreciseOscillators(precise);
    e->setSampleRate(kRate);
    const Patch p = patchFor(c);
    for (int id = 0; id < kNumParams; ++id)
        e->setParam(id, VorlixGenConvert::convertValue(id, p.values[id]));
    for (int n = 0; n < kVoices; ++n)
        e->voiceBank.Add(true, float(43 + 3 * n) * 0.083333336f, 0.8f, 0, 0);
    // One second in: attacks and decays are over, the tail case is silent.
    float l[kBlock], r[kBlock];
    for (int b = 0; b < int(kRate) / kBlock; ++b)
        e->processReplacingT<float>(l, r, 1, kBlock, true);
    return e;
}

void renderCase(benchmark::State& state, Case c, bool precise = false)
{
    auto e = makeEngine(c, precise);
    float l[kBlock], r[kBlock];
    const double cpu0 = threadCpuSeconds();
    for (auto _ : state)
    {
        e->processReplacingT<float>(l, r, 1, kBlock, true);
        benchmark::DoNotOptimize(l);
        benchmark::DoNotOptimize(r);
        benchmark::ClobberMemory();
    }
    const double cpu = threadCpuSeconds() - cpu0;
    if (e->activeVoiceCount() != kVoices)
        state.SkipWithError("voices went idle");
    const double samples = double(state.iterations()) * kBlock;
    // CPU time of this thread, so that other load on the machine does not count.
    state.counters["ns_per_voice_sample"] = cpu * 1e9 / (samples * kVoices);
    state.counters["realtime_factor"] = (samples / kRate) / cpu;
}

void BM_SawUnisonOff(benchmark::State& s) { renderCase(s, Case::Saw); }
void BM_HeaviestWideSyncSubDist(benchmark::State& s) { renderCase(s, Case::Heavy); }
void BM_PinkNoise(benchmark::State& s) { renderCase(s, Case::Pink); }
void BM_SilentTail(benchmark::State& s) { renderCase(s, Case::Tail); }

BENCHMARK(BM_SawUnisonOff);
BENCHMARK(BM_HeaviestWideSyncSubDist);
BENCHMARK(BM_PinkNoise);
BENCHMARK(BM_SilentTail);

// The same cases with the precise (exact pitch, band-limited) oscillators.
void BM_SawUnisonOffPrecise(benchmark::State& s) { renderCase(s, Case::Saw, true); }
void BM_HeaviestWideSyncSubDistPrecise(benchmark::State& s) { renderCase(s, Case::Heavy, true); }
BENCHMARK(BM_SawUnisonOffPrecise);
BENCHMARK(BM_HeaviestWideSyncSubDistPrecise);

int renderOnly(const char* name, long blocks, bool precise)
{
    Case c;
    if (!std::strcmp(name, "saw"))
        c = Case::Saw;
    else if (!std::strcmp(name, "heavy"))
        c = Case::Heavy;
    else if (!std::strcmp(name, "pink"))
        c = Case::Pink;
    else if (!std::strcmp(name, "tail"))
        c = Case::Tail;
    else
    {
        std::fprintf(stderr, "vorlix-bench: unknown case %s (saw, heavy, pink, tail)\n", name);
        return 2;
    }
    auto e = makeEngine(c, precise);
    float l[kBlock], r[kBlock];
    double sum = 0.0;
    // FNV-1a over the bits of every sample: an optimisation that claims identical output can be
    // held to it.
    uint64_t bits = 14695981039346656037ull;
    for (long b = 0; b < blocks; ++b)
    {
        e->processReplacingT<float>(l, r, 1, kBlock, true);
        sum += double(l[0]) + double(r[kBlock - 1]);
        for (const float* ch : {l, r})
            for (int k = 0; k < kBlock; ++k)
            {
                uint32_t u;
                std::memcpy(&u, ch + k, sizeof u);
                bits = (bits ^ u) * 1099511628211ull;
            }
    }
    std::printf("rendered %ld blocks of %d samples, %d voices (%s), checksum %g, bits %016llx\n", blocks, kBlock,
                e->activeVoiceCount(), name, sum, static_cast<unsigned long long>(bits));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const char* only = nullptr;
    long blocks = 750; // one second
    bool precise = false;
    for (int i = 1; i < argc; ++i)
    {
        if (!std::strncmp(argv[i], "--render=", 9))
            only = argv[i] + 9;
        else if (!std::strncmp(argv[i], "--blocks=", 9))
            blocks = std::strtol(argv[i] + 9, nullptr, 10);
        else if (!std::strcmp(argv[i], "--precise"))
            precise = true;
    }
    if (only)
        return renderOnly(only, blocks, precise);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
