// Plays built-in programs through the engine the way the plug-in loads them, and measures what
// comes out: the listening aid behind the bank's tests and its tuning table.
#pragma once

#include <memory>
#include <vector>

class VorlixGenPolyphonic;

namespace vorlix_bank {

struct NoteEvent
{
    double seconds = 0;   // from the start of the render
    int pitch = 60;       // MIDI note number
    float velocity = 1.0f;
    bool on = true;
};

struct Render
{
    float sampleRate = 48000.0f;
    std::vector<float> left, right;
    double lastNoteOff = -1;  // seconds; negative when no note-off was sent
};

struct Measures
{
    bool finite = true;
    double peakDb = -200;            // highest sample of either channel, dBFS
    double rmsDb = -200;             // over the measured span, both channels
    double centroidHz = 0;           // magnitude-weighted mean frequency over the measured span
    double halfLevelSeconds = -1;    // first time the 5 ms envelope reaches half the peak
    double lastSoundSeconds = -1;    // time of the last sample that does not round to zero in 16 bits
};

// A sample counts as silent when it rounds to zero at 16-bit resolution (about -90 dBFS).
inline constexpr float kSilence = 1.0f / 32768.0f;

class BankProbe
{
public:
    // The engine's own oscillator mode (classic) unless `precise`.
    explicit BankProbe (float sampleRate, bool precise = false);
    ~BankProbe ();
    BankProbe (const BankProbe&) = delete;
    BankProbe& operator= (const BankProbe&) = delete;

    // Loads program `index` as the component does: every value through the engine's conversion in
    // ascending ID order, values past the row's count as 0, then the plain output level 0.1.
    void loadProgram (int index);

    // Loads program `index` with another loader (the component's own), for comparing the two.
    void loadProgramWith (void (*loader) (VorlixGenPolyphonic&, int), int index) { loader (*engine, index); }

    // Applies a normalized value on top of the loaded program, as an edit in the editor would;
    // the engine keeps the 0.1 output level unless `id` is the output level itself.
    void setNormalized (int id, float value);

    // Renders `events` (sorted by time) and keeps going until `maxSeconds`, or stops early once the
    // last event has passed and every voice has gone idle.
    Render play (const std::vector<NoteEvent>& events, double maxSeconds);

private:
    std::unique_ptr<VorlixGenPolyphonic> engine;
    float sampleRate;
};

// Normalized value of parameter `id` in program `index` as every loader reads it.
float programValue (int index, int id);

// Measures [fromSeconds, toSeconds) of the render (toSeconds < 0: to the end). The peak, the half
// level and the last sound are taken over the whole render.
Measures measure (const Render& r, double fromSeconds = 0, double toSeconds = -1);

// Seconds of a plain engine time parameter (attack, decay or release) in program `index`.
double envelopeSeconds (int index, int id);

} // namespace vorlix_bank
