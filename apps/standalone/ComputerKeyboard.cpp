#include "apps/standalone/ComputerKeyboard.h"

#include <X11/keysym.h>

#include <algorithm>

namespace Vorlix::App {

int ComputerKeyboard::semitoneOf (unsigned long keysym)
{
    static constexpr struct
    {
        unsigned long keysym;
        int semitone;
    } keys[] = {
        // Lower row and the row above it: C3 up to E4.
        {XK_z, 0}, {XK_s, 1}, {XK_x, 2}, {XK_d, 3}, {XK_c, 4}, {XK_v, 5}, {XK_g, 6}, {XK_b, 7},
        {XK_h, 8}, {XK_n, 9}, {XK_j, 10}, {XK_m, 11}, {XK_comma, 12}, {XK_l, 13}, {XK_period, 14},
        {XK_semicolon, 15}, {XK_slash, 16},
        // Upper row and the digits above it: C4 up to E5.
        {XK_q, 12}, {XK_2, 13}, {XK_w, 14}, {XK_3, 15}, {XK_e, 16}, {XK_r, 17}, {XK_5, 18}, {XK_t, 19},
        {XK_6, 20}, {XK_y, 21}, {XK_7, 22}, {XK_u, 23}, {XK_i, 24}, {XK_9, 25}, {XK_o, 26}, {XK_0, 27},
        {XK_p, 28},
    };
    for (const auto& k : keys)
        if (k.keysym == keysym)
            return k.semitone;
    return -1;
}

ComputerKeyboard::Note ComputerKeyboard::press (unsigned long keysym)
{
    switch (keysym)
    {
        case XK_Left: currentOctave = std::max (kMinOctave, currentOctave - 1); return {};
        case XK_Right: currentOctave = std::min (kMaxOctave, currentOctave + 1); return {};
        case XK_Down: velocityStep = std::max (0, velocityStep - 1); return {};
        case XK_Up: velocityStep = std::min (static_cast<int> (kVelocities.size ()) - 1, velocityStep + 1); return {};
        default: break;
    }
    const int semitone = semitoneOf (keysym);
    if (semitone < 0)
        return {};
    for (const HeldKey& k : held)
        if (k.pitch >= 0 && k.keysym == keysym)
            return {}; // the auto-repeat of a held key
    const int pitch = basePitch () + semitone;
    if (pitch > 127)
        return {};
    for (HeldKey& k : held)
        if (k.pitch < 0)
        {
            k = {keysym, pitch};
            return {pitch, velocity ()};
        }
    return {};
}

ComputerKeyboard::Note ComputerKeyboard::release (unsigned long keysym)
{
    for (HeldKey& k : held)
        if (k.pitch >= 0 && k.keysym == keysym)
        {
            const int pitch = k.pitch;
            k = {};
            // A note another held key still plays goes on sounding.
            for (const HeldKey& other : held)
                if (other.pitch == pitch)
                    return {};
            return {pitch, 0};
        }
    return {};
}

} // namespace Vorlix::App
