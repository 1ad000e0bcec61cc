#include "BankProbe.h"

#include "Fft.h"

#include "VorlixGenConvert.h"
#include "VorlixGenPolyphonic.h"
#include "VorlixParamID.h"
#include "VorlixPrograms.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace vorlix_bank {

namespace {

constexpr int kHostParams = kNumParams;
constexpr float kSemitoneCv = 0.083333336f;

double toDb (double x) { return x > 1e-10 ? 20.0 * std::log10 (x) : -200.0; }

} // namespace

float programValue (int index, int id)
{
    const float* row = programs[index];
    const int count = int (row[0]);
    if (id < 0 || id >= kHostParams || id >= count)
        return 0.0f;
    return std::clamp (row[1 + id], 0.0f, 1.0f);
}

double envelopeSeconds (int index, int id)
{
    return VorlixGenConvert::convertValue (id, programValue (index, id));
}

BankProbe::BankProbe (float rate, bool precise) : engine (std::make_unique<VorlixGenPolyphonic> ()), sampleRate (rate)
{
    engine->setPreciseOscillators (precise);
    engine->setSampleRate (rate);
}

BankProbe::~BankProbe () = default;

void BankProbe::loadProgram (int index)
{
    for (int id = 0; id < kHostParams; ++id)
        engine->setParam (id, VorlixGenConvert::convertValue (id, programValue (index, id)));
    engine->setParam (kOutputLevel, 0.1f);
}

void BankProbe::setNormalized (int id, float value)
{
    engine->setParam (id, VorlixGenConvert::convertValue (id, std::clamp (value, 0.0f, 1.0f)));
}

Render BankProbe::play (const std::vector<NoteEvent>& events, double maxSeconds)
{
    constexpr int kBlock = 256;
    Render r;
    r.sampleRate = sampleRate;
    const long total = long (maxSeconds * sampleRate);
    r.left.reserve (size_t (total));
    r.right.reserve (size_t (total));
    float left[kBlock], right[kBlock];
    size_t next = 0;
    for (long pos = 0; pos < total;)
    {
        // Events land on block starts, as a host delivers them with sample offset 0.
        while (next < events.size () && long (events[next].seconds * sampleRate) <= pos)
        {
            const NoteEvent& e = events[next++];
            const float cv = float (e.pitch) * kSemitoneCv;
            if (e.on)
                engine->voiceBank.Add (true, cv, std::clamp (e.velocity, 0.0f, 1.0f), 0, 0);
            else
            {
                engine->voiceBank.Release (cv, 0);
                r.lastNoteOff = double (pos) / sampleRate;
            }
        }
        long frames = std::min<long> (kBlock, total - pos);
        if (next < events.size ())
            frames = std::min<long> (frames, std::max<long> (1, long (events[next].seconds * sampleRate) - pos));
        engine->processReplacingT<float> (left, right, 1, frames, true);
        r.left.insert (r.left.end (), left, left + frames);
        r.right.insert (r.right.end (), right, right + frames);
        pos += frames;
        if (next == events.size () && engine->activeVoiceCount () == 0)
            break;
    }
    return r;
}

Measures measure (const Render& r, double fromSeconds, double toSeconds)
{
    Measures m;
    const size_t n = r.left.size ();
    const auto at = [&] (double s) { return std::min (n, size_t (std::max (0.0, s) * r.sampleRate)); };
    const size_t from = at (fromSeconds), to = toSeconds < 0 ? n : at (toSeconds);

    double peak = 0;
    size_t last = 0;
    bool any = false;
    for (size_t i = 0; i < n; ++i)
    {
        const double a = std::max (std::fabs (r.left[i]), std::fabs (r.right[i]));
        if (! std::isfinite (r.left[i]) || ! std::isfinite (r.right[i]))
            m.finite = false;
        peak = std::max (peak, a);
        if (a >= kSilence)
            last = i, any = true;
    }
    m.peakDb = toDb (peak);
    m.lastSoundSeconds = any ? double (last + 1) / r.sampleRate : 0.0;

    // 5 ms envelope: the first window whose maximum reaches half the overall peak.
    const size_t window = size_t (0.005 * r.sampleRate);
    for (size_t i = 0; i < n && peak > 0; i += window)
    {
        double w = 0;
        for (size_t k = i; k < std::min (n, i + window); ++k)
            w = std::max (w, double (std::max (std::fabs (r.left[k]), std::fabs (r.right[k]))));
        if (w >= 0.5 * peak)
        {
            m.halfLevelSeconds = double (i + window) / r.sampleRate;
            break;
        }
    }

    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += double (r.left[i]) * r.left[i] + double (r.right[i]) * r.right[i];
    m.rmsDb = to > from ? toDb (std::sqrt (sum / double (2 * (to - from)))) : -200.0;

    // Average magnitude spectrum of Hann-windowed frames of the mid signal.
    constexpr size_t kFft = 4096;
    std::vector<double> spectrum (kFft / 2, 0.0);
    std::vector<std::complex<double>> frame (kFft);
    for (size_t start = from; start < to; start += kFft / 2)
    {
        for (size_t k = 0; k < kFft; ++k)
        {
            const size_t i = start + k;
            const double x = i < to ? 0.5 * (double (r.left[i]) + r.right[i]) : 0.0;
            frame[k] = x * (0.5 - 0.5 * std::cos (2.0 * M_PI * double (k) / double (kFft)));
        }
        vorlix_test::fft (frame);
        for (size_t k = 0; k < kFft / 2; ++k)
            spectrum[k] += std::abs (frame[k]);
        if (start + kFft >= to)
            break;
    }
    double weighted = 0, total = 0;
    for (size_t k = 1; k < kFft / 2; ++k)
    {
        weighted += spectrum[k] * double (k) * r.sampleRate / double (kFft);
        total += spectrum[k];
    }
    m.centroidHz = total > 0 ? weighted / total : 0.0;
    return m;
}

} // namespace vorlix_bank
