// Playing the instrument from the computer keyboard, in the layout trackers and most standalone
// synths use: the lower letter row Z S X D C V G B H N J M , L . ; / is an octave and a half from C
// with the sharps on the row above it, and the upper row Q 2 W 3 E R 5 T 6 Y 7 U I 9 O 0 P
// continues an octave higher. Left and Right shift the octave, Down and Up step the velocity.
// A plain value type on X keysyms (the unshifted symbol of each key); the window feeds it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace Vorlix::App {

class ComputerKeyboard
{
public:
    static constexpr int kMinOctave = 0;
    static constexpr int kMaxOctave = 8;
    static constexpr std::array<int, 5> kVelocities {40, 64, 90, 110, 127};

    /** A note to start (velocity > 0) or stop (velocity 0). */
    struct Note
    {
        int pitch = -1;
        int velocity = 0;
    };

    /** The semitone above the lower row's C that `keysym` plays, or -1 for a key that plays none. */
    static int semitoneOf (unsigned long keysym);

    /** A key went down: a note to start, or none (an octave or velocity key, a key already held,
        or one that plays no note). */
    Note press (unsigned long keysym);
    /** A key went up: the note that key started, whatever the octave is now. */
    Note release (unsigned long keysym);
    /** Every note still held is released, e.g. when the window loses the keyboard focus. */
    template <class OnNote>
    void releaseAll (OnNote&& onNote)
    {
        for (auto& k : held)
            if (k.pitch >= 0)
            {
                onNote (Note {k.pitch, 0});
                k = {};
            }
    }

    int octave () const { return currentOctave; }
    int velocity () const { return kVelocities[static_cast<size_t> (velocityStep)]; }
    /** The pitch of the lower row's C: C3 (48) at the start. */
    int basePitch () const { return 12 * currentOctave; }

private:
    struct HeldKey
    {
        unsigned long keysym = 0;
        int pitch = -1;
    };
    int currentOctave = 4;
    int velocityStep = 3;
    // More keys than fingers; a press past it plays nothing rather than lose track of a release.
    std::array<HeldKey, 16> held {};
};

} // namespace Vorlix::App
