#include "BankLoudness.h"

#include "BankCategory.h"
#include "BankPhrase.h"
#include "VorlixPrograms.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace vorlix_bank {

Loudness loudnessOf (const Render& r)
{
    Loudness l;
    const size_t n = std::min (r.left.size (), r.right.size ());
    double peak = 0;
    for (size_t i = 0; i < n; ++i)
        peak = std::max ({peak, double (std::fabs (r.left[i])), double (std::fabs (r.right[i]))});
    l.peakDb = peak > 1e-10 ? 20.0 * std::log10 (peak) : -200.0;

    const auto destroy = [] (ebur128_state* s) { ebur128_destroy (&s); };
    std::unique_ptr<ebur128_state, decltype (destroy)> state (
        ebur128_init (2, static_cast<unsigned long> (std::lround (r.sampleRate)), EBUR128_MODE_I), destroy);
    if (! state)
        return l;
    // Left and right are the front pair, each weighted 1.0, as the standard places a stereo file.
    constexpr size_t kChunk = 4096;
    float interleaved[2 * kChunk];
    for (size_t at = 0; at < n; at += kChunk)
    {
        const size_t frames = std::min (kChunk, n - at);
        for (size_t i = 0; i < frames; ++i)
        {
            interleaved[2 * i] = r.left[at + i];
            interleaved[2 * i + 1] = r.right[at + i];
        }
        if (ebur128_add_frames_float (state.get (), interleaved, frames) != EBUR128_SUCCESS)
            return l;
    }
    double lufs = 0;
    if (ebur128_loudness_global (state.get (), &lufs) == EBUR128_SUCCESS && std::isfinite (lufs))
        l.lufs = lufs;
    return l;
}

double judgedLufs (const std::string& programName, const Loudness& demo, const Loudness& drum)
{
    return categoryOf (programName) == Category::Drum ? drum.lufs : demo.lufs;
}

ProgramLoudness playLoudness (int index, const std::vector<std::pair<int, float>>& edits, bool precise)
{
    constexpr float kRate = 48000.0f;
    const std::string name = programnames[index];
    const auto play = [&] (const std::vector<NoteEvent>& events, double seconds) {
        BankProbe probe (kRate, precise);
        probe.loadProgram (index);
        for (auto [id, value] : edits)
            probe.setNormalized (id, value);
        return loudnessOf (probe.play (events, seconds));
    };
    ProgramLoudness p;
    p.demo = play (demoPhrase (), demoPhraseSeconds ());
    if (categoryOf (name) == Category::Drum)
        p.drum = play (drumPhrase (registerNote (name)), 6.0);
    p.judged = judgedLufs (name, p.demo, p.drum);
    return p;
}

double medianOf (std::vector<double> values)
{
    if (values.empty ())
        return 0;
    std::sort (values.begin (), values.end ());
    const size_t m = values.size () / 2;
    return values.size () % 2 ? values[m] : 0.5 * (values[m - 1] + values[m]);
}

} // namespace vorlix_bank
