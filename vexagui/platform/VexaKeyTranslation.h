// Platform-independent pieces of input translation: the key-code table and the text-input cut.
#pragma once

#include "VexaWindowEvent.h"
#include "vexagui/views/KeyCodes.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vexagui {

// The function-key characters of the key table (the private-use units that a key without a
// character of its own reports); platforms map their own key symbols onto them.
constexpr uint32_t kCharUpArrow = 0xF700;
constexpr uint32_t kCharDownArrow = 0xF701;
constexpr uint32_t kCharLeftArrow = 0xF702;
constexpr uint32_t kCharRightArrow = 0xF703;
constexpr uint32_t kCharF1 = 0xF704;
constexpr uint32_t kCharInsert = 0xF727;
constexpr uint32_t kCharForwardDelete = 0xF728;
constexpr uint32_t kCharHome = 0xF729;
constexpr uint32_t kCharEnd = 0xF72B;
constexpr uint32_t kCharPageUp = 0xF72C;
constexpr uint32_t kCharPageDown = 0xF72D;

/** The key code for the first UTF-16 unit of a key's characters without modifiers (0 when the key
    has no characters): backspace and delete 8, the arrows, Home and End, forward delete 127, A 1004,
    other letters lower-cased, every other unit unchanged. */
int32_t keyCodeFromCharacter (uint32_t firstUnit);

/** Text input is not produced while Control or Command is held: those keys are shortcuts. */
constexpr bool modifiersSuppressText (uint32_t modifiers)
{
    return (modifiers & (VexaWindowEvent::kModControl | VexaWindowEvent::kModCommand)) != 0;
}

/** Copies at most 31 bytes of `utf8` into the event's text and terminates it (a longer text is cut at
    byte 31, also inside a character, as the record's fixed size demands). */
void setEventText (VexaWindowEvent& event, std::string_view utf8);

/** Writes the UTF-8 form of a Unicode scalar value into `out`; returns the byte count (0 for values
    that are not scalar values: surrogates and anything above U+10FFFF). */
size_t encodeUtf8 (uint32_t codePoint, char out[4]);

} // namespace vexagui
