// The precise oscillator mode as a listener measures it: pitch at every note and sample rate,
// aliases in a long spectrum, and the classic mode's level, polarity and phase at note start.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdio>
#include <string>
#include <vector>

#include "Fft.h"
#include "VorlixGenOsc.h"
#include "VorlixParamID.h"

namespace {

constexpr double kPi = 3.141592653589793;

// Oscillator 1 alone (wave 6 on oscillator 2 is silence), or the sub alone when wave is 6.
VorlixGenOsc makeCopy(bool precise, int wave, float rate, int note)
{
    VorlixGenOsc o;
    o.setPrecise(precise);
    o.setSampleRate(rate);
    o.setParam(kOsc1WaveType, float(wave) + 0.5f, 1.0f);
    o.setParam(kOsc2WaveType, 6.5f, 1.0f);
    if (wave == 6)
        o.setParam(kSubOscLevel, 1.0f, 1.0f);
    o.noteOn(false, float(note) * 0.083333336f, 1.0f, 0, false);
    o.resetOsc();
    return o;
}

std::vector<float> render(VorlixGenOsc& o, int n)
{
    std::vector<float> v(size_t(n), 0.0f);
    for (int k = 0; k < n; k += 64)
        o.renderMix(v.data() + k, std::min(64, n - k));
    return v;
}

double equalTempered(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

// Frequency from the times of the falling (saw) or rising (square) zero crossings, interpolated
// between samples, over the whole run.
double measuredFrequency(const std::vector<float>& v, bool falling, double rate)
{
    double first = -1.0, last = -1.0;
    int count = 0;
    for (size_t i = 1; i < v.size(); ++i)
    {
        const float a = v[i - 1], b = v[i];
        if (falling ? (a > 0.0f && b <= 0.0f) : (a < 0.0f && b >= 0.0f))
        {
            const double t = double(i - 1) + double(a) / double(a - b);
            if (first < 0.0)
                first = t;
            last = t;
            ++count;
        }
    }
    return count > 1 ? rate * (count - 1) / (last - first) : 0.0;
}

struct Aliasing
{
    double below10k; // dB relative to the harmonic energy
    double wholeBand;
};

// A 2^16-point Blackman-Harris spectrum of the steady part: bins within 5 Hz of a multiple of
// f0 are harmonic, the rest is alias.
Aliasing measureAliasing(VorlixGenOsc& o, double f0, double rate)
{
    constexpr size_t kN = 1 << 16;
    render(o, 4096); // past the start
    const std::vector<float> v = render(o, int(kN));
    std::vector<std::complex<double>> a(kN);
    for (size_t i = 0; i < kN; ++i)
    {
        const double x = 2.0 * kPi * double(i) / double(kN);
        const double w = 0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) - 0.01168 * std::cos(3 * x);
        a[i] = v[i] * w;
    }
    vorlix_test::fft(a);
    double harmonic = 0.0, alias = 0.0, alias10k = 0.0;
    for (size_t b = 1; b < kN / 2; ++b)
    {
        const double f = double(b) * rate / double(kN);
        const double p = std::norm(a[b]);
        const double k = std::round(f / f0);
        if (std::fabs(f - k * f0) <= 5.0)
        {
            if (k >= 1.0) // a synced wave has an offset: DC is neither harmonic nor alias
                harmonic += p;
        }
        else
        {
            alias += p;
            if (f < 10000.0)
                alias10k += p;
        }
    }
    return {10.0 * std::log10(alias10k / harmonic), 10.0 * std::log10(alias / harmonic)};
}

} // namespace

TEST(PreciseOsc, EveryNoteIsInTuneAtEveryRate)
{
    struct Wave { int wave; const char* name; double ratio; bool falling; };
    const Wave waves[] = {{kWaveSaw, "saw", 1.0, true}, {kWaveSquare, "square", 1.0, false}, {6, "sub", 0.5, false}};
    for (const bool precise : {false, true})
        for (const float rate : {44100.0f, 48000.0f, 96000.0f})
            for (const Wave& w : waves)
            {
                double worst = 0.0;
                int worstNote = 0;
                std::string samples; // a few notes for the record
                for (int note = 24; note <= 108; ++note)
                {
                    VorlixGenOsc o = makeCopy(precise, w.wave, rate, note);
                    const double asked = equalTempered(note) * w.ratio;
                    const std::vector<float> v = render(o, int(rate));
                    const double cents = 1200.0 * std::log2(measuredFrequency(v, w.falling, rate) / asked);
                    if (std::fabs(cents) > std::fabs(worst))
                    {
                        worst = cents;
                        worstNote = note;
                    }
                    if (precise)
                        EXPECT_LE(std::fabs(cents), 0.5) << w.name << " note " << note << " at " << rate;
                    if (note == 45 || note == 69 || note == 81 || note == 96 || note == 108)
                    {
                        char text[32];
                        std::snprintf(text, sizeof text, "  %d: %+.2f", note, cents);
                        samples += text;
                    }
                }
                std::printf("%-8s %-6s %6.0f Hz: worst %+8.3f cents (note %d);%s\n", precise ? "precise" : "classic",
                            w.name, double(rate), worst, worstNote, samples.c_str());
            }
}

TEST(PreciseOsc, SawAndSquareAliasesStayFarBelowTheHarmonics)
{
    struct Row { int wave; int note; bool sync; double below10k; double wholeBand; };
    const Row rows[] = {
        {kWaveSaw, 96, false, -60.0, -45.0},    {kWaveSaw, 103, false, -60.0, -45.0},
        {kWaveSquare, 96, false, -60.0, -45.0}, {kWaveSquare, 103, false, -60.0, -45.0},
        // Hard sync, the synced oscillator half an octave above the master.
        {kWaveSaw, 96, true, -60.0, -45.0},     {kWaveSaw, 103, true, -60.0, -45.0},
        {kWaveSquare, 96, true, -60.0, -45.0},  {kWaveSquare, 103, true, -60.0, -45.0},
    };
    const double rate = 48000.0;
    for (const Row& r : rows)
    {
        VorlixGenOsc o = makeCopy(true, r.wave, float(rate), r.note);
        if (r.sync)
        {
            o.setParam(kUseOscSync1, 1.0f, 1.0f);
            o.setParam(kOsc1Detune, 0.125f, 1.0f);
        }
        const Aliasing a = measureAliasing(o, 8.1757989156 * std::pow(2.0, r.note / 12.0), rate);
        std::printf("%s note %d%s: aliases %.1f dB below 10 kHz, %.1f dB in the whole band\n",
                    r.wave == kWaveSaw ? "saw" : "square", r.note, r.sync ? " synced" : "", a.below10k, a.wholeBand);
        EXPECT_LE(a.below10k, r.below10k) << r.wave << " note " << r.note;
        EXPECT_LE(a.wholeBand, r.wholeBand) << r.wave << " note " << r.note;
    }
}

TEST(PreciseOsc, WavesKeepTheClassicLevelPolarityAndStartPhase)
{
    // At a low note the two modes differ only by the few cents of the classic tuning and the
    // smoothed jumps, so the first period after a reset must nearly coincide sample by sample.
    struct Row { int wave; const char* name; };
    const Row rows[] = {{kWaveSaw, "saw"}, {kWaveSquare, "square"}, {6, "sub"}};
    for (const Row& r : rows)
    {
        VorlixGenOsc classic = makeCopy(false, r.wave, 48000.0f, 45);
        VorlixGenOsc precise = makeCopy(true, r.wave, 48000.0f, 45);
        const std::vector<float> a = render(classic, 400), b = render(precise, 400);
        double diff = 0.0, energyA = 0.0, energyB = 0.0;
        for (size_t i = 0; i < a.size(); ++i)
        {
            diff += std::fabs(a[i] - b[i]);
            energyA += a[i] * a[i];
            energyB += b[i] * b[i];
        }
        EXPECT_LT(diff / double(a.size()), 0.03) << r.name;
        EXPECT_NEAR(std::sqrt(energyB / energyA), 1.0, 0.02) << r.name;
        // The square's first edge sits on sample 0, which the band-limited wave passes at
        // mid level; a few samples on both are on the high half.
        EXPECT_NEAR(a[4], b[4], 0.1) << r.name << ": the same phase at the start";
    }
}

TEST(PreciseOsc, SwitchingModesKeepsTheWaveGoing)
{
    // A switch in the middle of a note continues from the running phase: no restart, no jump
    // larger than the wave's own steps.
    for (const int wave : {int(kWaveSaw), int(kWaveSquare), int(kWaveSine)})
    {
        VorlixGenOsc o = makeCopy(false, wave, 44100.0f, 57);
        const std::vector<float> before = render(o, 1050); // a quarter into a cycle: no jump near
        o.setPrecise(true);
        const std::vector<float> precise = render(o, 64);
        o.setPrecise(false);
        const std::vector<float> after = render(o, 64);
        EXPECT_LT(std::fabs(precise[0] - before.back()), 0.1f) << wave;
        EXPECT_LT(std::fabs(after[0] - precise.back()), 0.1f) << wave;
    }
}

TEST(PreciseOsc, BlocksAndSingleSamplesGiveTheSameWave)
{
    // Spans of any length (the engine renders in spans, a delayed note in single samples) must
    // find every jump: the runs between jumps and the jump steps give the same samples.
    struct Row { int wave1, wave2; bool sync; float sub; };
    const Row rows[] = {{kWaveSaw, kWaveSquare, false, 0.0f}, {kWaveSquare, kWaveSaw, true, 0.7f},
                        {kWaveSaw, kWaveTriangle, true, 1.0f}, {kWaveSine, kWaveSquare, false, 0.5f}};
    for (const Row& r : rows)
    {
        VorlixGenOsc a = makeCopy(true, r.wave1, 44100.0f, 93);
        a.setParam(kOsc2WaveType, float(r.wave2) + 0.5f, 1.0f);
        a.setParam(kOscMix, 0.4f, 1.0f);
        a.setParam(kSubOscLevel, r.sub, 1.0f);
        if (r.sync)
        {
            a.setParam(kUseOscSync1, 1.0f, 1.0f);
            a.setParam(kUseOscSync2, 1.0f, 1.0f);
            a.setParam(kOsc1Detune, 0.21f, 1.0f);
            a.setParam(kOsc2Detune, 0.37f, 1.0f);
        }
        VorlixGenOsc b = a;
        const std::vector<float> blocks = render(a, 3000);
        for (size_t i = 0; i < blocks.size(); ++i)
            ASSERT_EQ(b.tick(), blocks[i]) << "waves " << r.wave1 << "/" << r.wave2 << " sample " << i;
    }
}
