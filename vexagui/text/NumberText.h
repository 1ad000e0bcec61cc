// Numbers in text read and written the same way under every locale, with '.' as the decimal
// point. The module lives in its host's process, and a host that set a comma-decimal locale (as
// desktop applications do) makes strtod stop at the point of "1.5" and printf write "0,500".
#pragma once

#include <charconv>
#include <cstddef>
#include <optional>
#include <string_view>
#include <system_error>

namespace vexagui {

inline bool isNumberSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// The decimal number at the start of `text` after white space and an optional '+': plain or
// exponent notation, "inf" and "nan" as strtod reads them in the C locale (no hexadecimal).
// Sets `value` and returns the characters used, leading space included; 0 when no number starts
// there or it is out of double's range (`value` is then unchanged).
inline std::size_t leadingNumber(std::string_view text, double& value) {
    std::size_t at = 0;
    while (at < text.size() && isNumberSpace(text[at])) ++at;
    if (at < text.size() && text[at] == '+') {
        ++at;
        if (at < text.size() && text[at] == '-') return 0;  // "+-1" is no number for strtod either
    }
    double parsed = 0.0;
    const auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), parsed);
    if (error != std::errc()) return 0;
    value = parsed;
    return static_cast<std::size_t>(end - text.data());
}

// The whole of `text` as one number, white space around it allowed; nothing for anything else.
inline std::optional<double> numberFromText(std::string_view text) {
    double value = 0.0;
    std::size_t used = leadingNumber(text, value);
    if (used == 0) return std::nullopt;
    while (used < text.size() && isNumberSpace(text[used])) ++used;
    if (used != text.size()) return std::nullopt;
    return value;
}

// `value` with `decimals` digits after the point, as printf's "%.*f" writes it in the C locale,
// terminated; false (and an empty text) when it does not fit into `size` characters.
inline bool formatFixed(double value, int decimals, char* out, std::size_t size) {
    if (out == nullptr || size == 0) return false;
    const auto [end, error] = std::to_chars(out, out + size - 1, value, std::chars_format::fixed, decimals);
    if (error != std::errc()) {
        out[0] = '\0';
        return false;
    }
    *end = '\0';
    return true;
}

} // namespace vexagui
