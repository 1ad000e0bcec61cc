// Translation of X11 pointer, modifier and key-symbol values into the native view's event codes.
#pragma once

#include <cstdint>

namespace vexagui::x11 {

/** Shift 1, Control 2, Alt (Mod1) 4, Super (Mod4) as Command 8, from an X event's `state`. */
uint32_t modifiersFromState (unsigned int state);

/** Held primary, secondary and middle buttons (bits 0, 1, 2) from an X event's `state`. */
uint32_t heldButtonsFromState (unsigned int state);

/** The event's `button` for an X button number: 1 primary -> 1, 3 secondary -> 2, 2 middle -> 3,
    8 back -> 4, 9 forward -> 5; 0 for everything else. */
int32_t buttonFromX (unsigned int xButton);

/** The `buttons` bit of a non-wheel X button (0 for the wheel buttons 4..7 and unknown ones). */
uint32_t buttonBitFromX (unsigned int xButton);

/** X buttons 4..7 are wheel steps, not buttons. */
constexpr bool isWheelButton (unsigned int xButton) { return xButton >= 4 && xButton <= 7; }

/** Scroll deltas of one wheel step: up +y, down -y, left +x, right -x. */
void wheelDelta (unsigned int xButton, float& scrollX, float& scrollY);

/** The Unicode character a key symbol types, 0 when it types none (function and modifier keys). */
uint32_t unicodeFromKeysym (unsigned long keysym);

/** The first UTF-16 unit of a key's characters, as the key-code table expects it: the function-key
    units for arrows, Home, End, forward delete and the like, else the typed character. */
uint32_t keyCharacterFromKeysym (unsigned long keysym);

/** Modifier keys pressed on their own produce no key events (they only change `modifiers`). */
bool isModifierKeysym (unsigned long keysym);

} // namespace vexagui::x11
