// MIDI as a keyboard player sends it, turned into engine calls: notes, the pitch wheel with its
// range (RPN 0), the sustain pedal and the channel-mode messages. Every format feeds the same
// object, with raw messages (LV2, JACK, the standalone player) or with the controller values a
// host hands over (VST 3). A plain value type with no allocation; audio thread only.
#pragma once

#include <cstdint>

class VorlixGenPolyphonic;

class VorlixMidiInput
{
public:
    static constexpr float kDefaultBendRange = 2.0f; // semitones either way
    static constexpr float kMaxBendRange = 24.0f;

    // Controller numbers the instrument answers to.
    enum Controller
    {
        kDataEntry = 6,
        kDataEntryFine = 38,
        kSustain = 64,
        kNrpnFine = 98,
        kNrpnCoarse = 99,
        kRpnFine = 100,
        kRpnCoarse = 101,
        kAllSoundOff = 120,
        kResetAllControllers = 121,
        kAllNotesOff = 123,
    };

    /** One short MIDI message, status byte first, on any channel. Running status, system
        messages and anything shorter than its kind needs are ignored. */
    void message (VorlixGenPolyphonic& engine, const std::uint8_t* bytes, int size);

    /** MIDI pitch 0..127 (others are ignored), velocity 0..1; a note-on of velocity 0 is a
        note-on, as the hosts' note events mean it. */
    void noteOn (VorlixGenPolyphonic& engine, int pitch, float velocity);
    void noteOff (VorlixGenPolyphonic& engine, int pitch);
    /** The wheel: -1 full down, 0 centre, 1 full up; clamped, NaN is centre. */
    void pitchBend (VorlixGenPolyphonic& engine, float position);
    /** The 14-bit wheel value of a MIDI message: 8192 is centre, 0 and 16383 the ends. */
    void pitchBend14 (VorlixGenPolyphonic& engine, int value);
    /** A control change, value 0..127 (clamped). Controllers not listed above are ignored. */
    void controlChange (VorlixGenPolyphonic& engine, int controller, int value);

    /** What a fresh instance starts with: wheel centred, pedal up, range 2 semitones. */
    void reset (VorlixGenPolyphonic& engine);

    float bendRange () const { return range; }
    float bendPosition () const { return position; }
    bool sustainDown () const { return pedal; }

private:
    void applyBend (VorlixGenPolyphonic& engine);
    bool rpn0Selected () const { return !nrpnSelected && rpnCoarse == 0 && rpnFine == 0; }

    float position = 0.0f;
    float range = kDefaultBendRange;
    int rangeSemitones = 2;
    int rangeCents = 0;
    bool pedal = false;
    // Parameter-number selection: 127/127 is "none", as after Reset All Controllers.
    int rpnCoarse = 127;
    int rpnFine = 127;
    bool nrpnSelected = false;
};
