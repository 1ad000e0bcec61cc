// The resource pack's PNG decoding with arbitrary files (wrapped in the data URL the pack
// stores) and arbitrary URL text: never crashes, never reads past its input, and a decoded image
// has at least one pixel and exactly width x height RGBA bytes.
#include "vexagui/resources/PngDataUrl.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void check (bool cond, const char* what)
{
    if (!cond)
    {
        std::fprintf (stderr, "invariant failed: %s\n", what);
        std::abort ();
    }
}

std::string dataUrlOf (const std::uint8_t* bytes, std::size_t size)
{
    static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string url = "data:image/png;base64,";
    for (std::size_t i = 0; i < size; i += 3)
    {
        const std::size_t n = size - i < 3 ? size - i : 3;
        unsigned bits = unsigned (bytes[i]) << 16;
        if (n > 1) bits |= unsigned (bytes[i + 1]) << 8;
        if (n > 2) bits |= unsigned (bytes[i + 2]);
        for (std::size_t k = 0; k < 4; ++k)
            url += k <= n ? alphabet[(bits >> (18 - 6 * k)) & 63] : '=';
    }
    return url;
}

void decodeAndCheck (const std::string& url)
{
    const vexagui::DecodedPng png = vexagui::decodePngDataUrl (url.c_str ());
    if (!png.rgba)
        return;
    check (png.width > 0 && png.height > 0, "a decoded image has at least one pixel");
    // Every byte the image claims is read: AddressSanitizer stops a buffer that is too short.
    const std::size_t bytes = std::size_t (png.width) * std::size_t (png.height) * 4;
    unsigned sum = 0;
    for (std::size_t i = 0; i < bytes; ++i)
        sum += png.rgba.get ()[i];
    volatile unsigned sink = sum;
    (void) sink;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    decodeAndCheck (dataUrlOf (data, size));
    // The same bytes as URL text reach the base64 reader itself (cut at the first NUL, as the
    // pack's C strings are).
    decodeAndCheck (std::string (reinterpret_cast<const char*> (data), size).c_str ());
    return 0;
}
