// Host key translation for the plug view bridge.
#include "vexagui/vst3/VexaVst3Keys.h"

#include "vexagui/views/KeyCodes.h"

namespace vexagui {

std::uint32_t translateVst3Modifiers(std::int16_t modifiers) {
    const auto sdk = static_cast<std::uint16_t>(modifiers);
    std::uint32_t bits = 0;
    if (sdk & vst3keys::kShiftKey) bits |= 1u;
    if (sdk & vst3keys::kAlternateKey) bits |= 4u;
    if (sdk & vst3keys::kCommandKey) bits |= 8u;
    if (sdk & vst3keys::kControlKey) bits |= 2u;
    return bits;
}

std::int32_t translateVst3VirtualKey(std::int16_t keyCode) {
    switch (keyCode) {
    case vst3keys::KEY_BACK: return kKeyBackspace;
    case vst3keys::KEY_END: return kKeyEnd;
    case vst3keys::KEY_HOME: return kKeyHome;
    case vst3keys::KEY_LEFT: return kKeyLeft;
    case vst3keys::KEY_RIGHT: return kKeyRight;
    case vst3keys::KEY_DELETE: return kKeyDelete;
    default: return 0;
    }
}

int encodeUtf16UnitAsUtf8(char16_t unit, char out[4]) {
    const auto c = static_cast<std::uint32_t>(unit);
    int n = 0;
    if (c < 0x80u) {
        out[n++] = static_cast<char>(c);
    } else if (c < 0x800u) {
        out[n++] = static_cast<char>(0xC0u | (c >> 6));
        out[n++] = static_cast<char>(0x80u | (c & 0x3Fu));
    } else {
        out[n++] = static_cast<char>(0xE0u | (c >> 12));
        out[n++] = static_cast<char>(0x80u | ((c >> 6) & 0x3Fu));
        out[n++] = static_cast<char>(0x80u | (c & 0x3Fu));
    }
    out[n] = '\0';
    return n;
}

} // namespace vexagui
