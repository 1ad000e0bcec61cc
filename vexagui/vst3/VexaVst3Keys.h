// How the host's key calls (VST 3 virtual key codes, modifier bits and UTF-16 characters) become
// the toolkit's key codes, modifier bits and UTF-8 text. Pure functions: no view, no host.
#pragma once

#include <cstdint>

namespace vexagui {

// The SDK's virtual key codes and modifier bits that matter here. The SDK copy we build against
// ships without keycodes.h, so the values are restated; they are part of the VST 3 ABI.
namespace vst3keys {
enum VirtualKeyCode : std::int16_t {
    KEY_BACK = 1,
    KEY_TAB = 2,
    KEY_RETURN = 4,
    KEY_ESCAPE = 6,
    KEY_SPACE = 7,
    KEY_END = 9,
    KEY_HOME = 10,
    KEY_LEFT = 11,
    KEY_UP = 12,
    KEY_RIGHT = 13,
    KEY_DOWN = 14,
    KEY_DELETE = 22,
};
enum KeyModifier : std::int16_t {
    kShiftKey = 1 << 0,
    kAlternateKey = 1 << 1,
    kCommandKey = 1 << 2,
    kControlKey = 1 << 3,
};
} // namespace vst3keys

// SDK modifier bits to the toolkit's (bit 0 Shift, 1 Control, 2 Option, 3 Command).
std::uint32_t translateVst3Modifiers(std::int16_t modifiers);

// Toolkit key code of a virtual key the editor handles as a key (8, 127, 1000..1003), else 0.
std::int32_t translateVst3VirtualKey(std::int16_t keyCode);

// UTF-8 of one UTF-16 code unit, zero-terminated: one byte below U+0080, two below U+0800, three
// from U+0800 up (a lone surrogate unit is encoded as it stands). Returns the byte count (1 to 3).
int encodeUtf16UnitAsUtf8(char16_t unit, char out[4]);

} // namespace vexagui
