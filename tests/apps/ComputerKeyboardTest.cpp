#include "apps/standalone/ComputerKeyboard.h"
#include "apps/standalone/NoteQueue.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using Vorlix::App::ComputerKeyboard;
using Vorlix::App::NoteQueue;

TEST (ComputerKeyboard, TwoRowsPlayFromC3AndC4)
{
    const struct
    {
        unsigned long keysym;
        int pitch; // at the starting octave; -1 plays nothing
    } cases[] = {
        {XK_z, 48}, {XK_s, 49}, {XK_m, 59}, {XK_comma, 60}, {XK_slash, 64}, // lower row: C3..E4
        {XK_q, 60}, {XK_2, 61}, {XK_i, 72}, {XK_p, 76},                    // upper row: C4..E5
        {XK_a, -1}, {XK_1, -1}, {XK_Z, -1}, {XK_space, -1}, {XK_Escape, -1},
    };
    for (const auto& c : cases)
    {
        ComputerKeyboard keys;
        const ComputerKeyboard::Note on = keys.press (c.keysym);
        EXPECT_EQ (on.pitch, c.pitch) << c.keysym;
        if (c.pitch >= 0)
        {
            EXPECT_EQ (on.velocity, keys.velocity ());
            EXPECT_EQ (keys.press (c.keysym).pitch, -1) << "auto-repeat of a held key starts nothing";
            const ComputerKeyboard::Note off = keys.release (c.keysym);
            EXPECT_EQ (off.pitch, c.pitch);
            EXPECT_EQ (off.velocity, 0);
        }
        EXPECT_EQ (keys.release (c.keysym).pitch, -1) << "a key not held releases nothing";
    }
}

TEST (ComputerKeyboard, OctaveAndVelocityKeysAndReleasesThatFollowTheKey)
{
    ComputerKeyboard keys;
    const int loudest = ComputerKeyboard::kVelocities.back ();
    const int softest = ComputerKeyboard::kVelocities.front ();
    for (int i = 0; i < 10; ++i)
        keys.press (XK_Up);
    EXPECT_EQ (keys.press (XK_z).velocity, loudest);
    keys.press (XK_Right); // the octave moves while Z is held...
    EXPECT_EQ (keys.press (XK_x).pitch, 62);
    const ComputerKeyboard::Note off = keys.release (XK_z);
    EXPECT_EQ (off.pitch, 48); // ...and Z still stops the note it started
    for (int i = 0; i < 20; ++i)
        keys.press (XK_Left), keys.press (XK_Down);
    EXPECT_EQ (keys.octave (), ComputerKeyboard::kMinOctave);
    EXPECT_EQ (keys.press (XK_c).velocity, softest);
    for (int i = 0; i < 20; ++i)
        keys.press (XK_Right);
    EXPECT_EQ (keys.octave (), ComputerKeyboard::kMaxOctave);
    EXPECT_EQ (keys.press (XK_p).pitch, 124) << "the highest key at the highest octave stays a MIDI note";

    // Focus lost: everything held is released, once.
    std::vector<int> released;
    keys.releaseAll ([&] (ComputerKeyboard::Note n) { released.push_back (n.velocity == 0 ? n.pitch : -1); });
    std::sort (released.begin (), released.end ());
    EXPECT_EQ (released, (std::vector<int> {4, 62, 124}));
    released.clear ();
    keys.releaseAll ([&] (ComputerKeyboard::Note n) { released.push_back (n.pitch); });
    EXPECT_TRUE (released.empty ());
}

TEST (NoteQueue, KeepsOrderAndRefusesWhenFull)
{
    NoteQueue q;
    int pushed = 0;
    while (q.push ({static_cast<std::uint8_t> (pushed % 128), 1}))
        ++pushed;
    EXPECT_EQ (pushed, 256);
    int expected = 0;
    q.drain ([&] (NoteQueue::Note n) { EXPECT_EQ (n.pitch, expected++ % 128); });
    EXPECT_EQ (expected, 256);
    EXPECT_TRUE (q.push ({60, 0})); // room again after the drain, across the wrap
}
