// Translation of Win32 mouse and keyboard message values into the native view's event codes.
// Plain functions of the message's numbers, so they are tested without a window.
#pragma once

#include "../VexaWindowEvent.h"

#include <cstdint>

namespace vexagui::win32 {

/** Shift 1, Control 2, Alt 4, the Windows key as Command 8. */
uint32_t modifiersFromKeys (bool shift, bool control, bool alt, bool windowsKey);

/** Held buttons from a mouse message's wParam (MK_LBUTTON primary, MK_RBUTTON secondary,
    MK_MBUTTON middle, MK_XBUTTON1 and MK_XBUTTON2 the fourth and fifth). */
uint32_t heldButtonsFromWParam (uintptr_t wParam);

/** For a button message: kPointerDown or kPointerUp in `type` and the event's `button`
    (left 1, right 2, middle 3, X1 4, X2 5). False for any other message. */
bool buttonFromMessage (unsigned message, uintptr_t wParam, int32_t& type, int32_t& button);

/** Scroll deltas of WM_MOUSEWHEEL (+y away from the user) and WM_MOUSEHWHEEL (right is -x, as on
    the other platforms), one wheel notch (120) per unit. False for any other message. */
bool wheelDelta (unsigned message, uintptr_t wParam, float& scrollX, float& scrollY);

/** The first UTF-16 unit of a key's characters, as the key-code table expects it, for a virtual-key
    code: the function-key units for arrows, F1..F24, Home, End, Page Up/Down, Insert and Delete;
    backspace 8, tab 9, return 13, escape 27, space; letters lower-cased and digits; 0 for keys whose
    character depends on the layout (they arrive as WM_CHAR text) and for modifier keys. */
uint32_t keyCharacterFromVirtualKey (unsigned virtualKey);

/** Modifier keys pressed on their own produce no key events (they only change `modifiers`). */
bool isModifierVirtualKey (unsigned virtualKey);

/** Joins WM_CHAR's UTF-16 units into Unicode scalar values: a high surrogate waits for its low
    one; an unpaired surrogate is dropped. */
class Utf16Joiner
{
public:
    /** The completed code point, or 0 while waiting (and for dropped units). */
    uint32_t push (uint16_t unit);
    void reset () { pendingHigh = 0; }

private:
    uint16_t pendingHigh = 0;
};

} // namespace vexagui::win32
