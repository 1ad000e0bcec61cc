// The native view's input record: pointer, scroll, key and text events in the view's own coordinates.
#pragma once

#include <cstdint>

namespace vexagui {

struct VexaWindowEvent
{
    static constexpr int32_t kPointerDown = 3;
    static constexpr int32_t kPointerUp = 4;
    static constexpr int32_t kPointerMove = 5;
    static constexpr int32_t kScroll = 6;
    static constexpr int32_t kKeyDown = 7;
    static constexpr int32_t kKeyUp = 8;
    static constexpr int32_t kTextInput = 9;

    // Modifier bits, also used by the toolkit's own key and pointer events.
    static constexpr uint32_t kModShift = 1u << 0;
    static constexpr uint32_t kModControl = 1u << 1;
    static constexpr uint32_t kModAlt = 1u << 2;
    static constexpr uint32_t kModCommand = 1u << 3;

    // Held-button bits of `buttons`; only the low five bits are ever set.
    static constexpr uint32_t kButtonPrimary = 1u << 0;
    static constexpr uint32_t kButtonSecondary = 1u << 1;
    static constexpr uint32_t kButtonMiddle = 1u << 2;
    static constexpr uint32_t kButtonsMask = 0x1Fu;

    // Zero-terminated UTF-8, so at most kTextCapacity - 1 = 31 bytes of text.
    static constexpr int kTextCapacity = 32;

    int32_t type = 0;
    float x = 0.0f;        // logical units, origin top left, y downward (pointer and scroll only)
    float y = 0.0f;
    float scrollX = 0.0f;  // platform deltas, unscaled (scroll only)
    float scrollY = 0.0f;
    int32_t button = 0;    // pointer down/up: 1 primary, 2 secondary, 3 middle, 4 and 5 further
    uint32_t buttons = 0;  // buttons held at the time of the event (pointer and scroll)
    uint32_t modifiers = 0;
    int32_t key = 0;       // key down/up: see keyCodeFromCharacter
    bool repeat = false;   // key down: auto-repeat
    char text[kTextCapacity] = {};
};

} // namespace vexagui
