// The MIDI translation shared by every format.
#include "VorlixMidiInput.h"

#include "VorlixEngineOps.h"
#include "VorlixGenPolyphonic.h"

#include <cmath>

namespace {

int clamp7 (int v) { return v < 0 ? 0 : (v > 127 ? 127 : v); }

} // namespace

void VorlixMidiInput::message (VorlixGenPolyphonic& engine, const std::uint8_t* bytes, int size)
{
    if (!bytes || size < 2 || bytes[0] < 0x80 || bytes[0] >= 0xF0)
        return;
    const int kind = bytes[0] & 0xF0;
    const int size3 = kind == 0xC0 || kind == 0xD0 ? 2 : 3;
    if (size < size3)
        return;
    const int d1 = bytes[1] & 0x7F;
    const int d2 = size3 == 3 ? (bytes[2] & 0x7F) : 0;
    switch (kind)
    {
        case 0x80: noteOff (engine, d1); break;
        // Raw MIDI's note-on with velocity 0 is a note-off by definition.
        case 0x90:
            if (d2 == 0)
                noteOff (engine, d1);
            else
                noteOn (engine, d1, float (d2) / 127.0f);
            break;
        case 0xB0: controlChange (engine, d1, d2); break;
        case 0xE0: pitchBend14 (engine, (d2 << 7) | d1); break;
        default: break;
    }
}

void VorlixMidiInput::noteOn (VorlixGenPolyphonic& engine, int pitch, float velocity)
{
    // MIDI pitches only: anything else has no musical meaning and would push the oscillators
    // outside any sensible frequency.
    if (pitch < 0 || pitch > 127)
        return;
    velocity = velocity > 0.0f ? (velocity < 1.0f ? velocity : 1.0f) : 0.0f; // NaN is 0
    VorlixEngineOps::noteOn (engine, pitch, velocity);
}

void VorlixMidiInput::noteOff (VorlixGenPolyphonic& engine, int pitch)
{
    if (pitch < 0 || pitch > 127)
        return;
    VorlixEngineOps::noteOff (engine, pitch);
}

void VorlixMidiInput::pitchBend (VorlixGenPolyphonic& engine, float value)
{
    position = value > -1.0f ? (value < 1.0f ? value : 1.0f) : (value <= -1.0f ? -1.0f : 0.0f);
    applyBend (engine);
}

void VorlixMidiInput::pitchBend14 (VorlixGenPolyphonic& engine, int value)
{
    value = value < 0 ? 0 : (value > 16383 ? 16383 : value);
    // Both ends reach the full range: 8191 steps up, 8192 down.
    const int offset = value - 8192;
    pitchBend (engine, float (offset) / (offset >= 0 ? 8191.0f : 8192.0f));
}

void VorlixMidiInput::controlChange (VorlixGenPolyphonic& engine, int controller, int value)
{
    value = clamp7 (value);
    switch (controller)
    {
        case kSustain: {
            const bool down = value >= 64;
            if (down != pedal)
            {
                pedal = down;
                engine.setSustain (down);
            }
            break;
        }
        case kRpnCoarse: rpnCoarse = value; nrpnSelected = false; break;
        case kRpnFine: rpnFine = value; nrpnSelected = false; break;
        // Data entry after an NRPN belongs to that NRPN, which this instrument does not have.
        case kNrpnCoarse:
        case kNrpnFine: nrpnSelected = true; break;
        case kDataEntry:
            if (rpn0Selected ())
            {
                rangeSemitones = value;
                rangeCents = 0;
                applyBend (engine);
            }
            break;
        case kDataEntryFine:
            if (rpn0Selected ())
            {
                rangeCents = value < 100 ? value : 99;
                applyBend (engine);
            }
            break;
        case kAllSoundOff: engine.voiceBank.ReleaseAll (true); break;
        case kAllNotesOff: engine.voiceBank.ReleaseAll (false); break;
        case kResetAllControllers:
            // The range is a setting, not a controller: it stays.
            position = 0.0f;
            rpnCoarse = rpnFine = 127;
            nrpnSelected = false;
            applyBend (engine);
            if (pedal)
            {
                pedal = false;
                engine.setSustain (false);
            }
            break;
        default: break;
    }
}

void VorlixMidiInput::reset (VorlixGenPolyphonic& engine)
{
    *this = VorlixMidiInput {};
    engine.setSustain (false);
    applyBend (engine);
}

void VorlixMidiInput::applyBend (VorlixGenPolyphonic& engine)
{
    range = float (rangeSemitones) + float (rangeCents) * 0.01f;
    range = range < kMaxBendRange ? range : kMaxBendRange;
    engine.setPitchBend (position * range);
}
