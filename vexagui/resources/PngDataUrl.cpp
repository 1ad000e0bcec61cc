// base64 + PNG decoding of packed images.
#include "vexagui/resources/PngDataUrl.h"

#include <cstdint>
#include <cstring>
#include <string>

// The decoder is third-party code: its own warnings are not ours to fix. PNG only, memory only,
// no failure-reason global, every function private to this file.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace vexagui {
namespace {

constexpr char kPrefix[] = "data:image/png;base64,";

int base64Value(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// Standard alphabet with padding; false on any other character or length.
bool decodeBase64(const char* text, std::size_t length, std::string& out) {
    if (length % 4 != 0) return false;
    out.clear();
    out.reserve(length / 4 * 3);
    for (std::size_t i = 0; i < length; i += 4) {
        const bool last = i + 4 == length;
        const int pad = last ? (text[i + 3] == '=') + (text[i + 2] == '=' && text[i + 3] == '=') : 0;
        int v[4] = {0, 0, 0, 0};
        for (int k = 0; k < 4 - pad; ++k) {
            v[k] = base64Value(static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]));
            if (v[k] < 0) return false;
        }
        const unsigned bits = (unsigned(v[0]) << 18) | (unsigned(v[1]) << 12) | (unsigned(v[2]) << 6) | unsigned(v[3]);
        out += static_cast<char>((bits >> 16) & 0xFF);
        if (pad < 2) out += static_cast<char>((bits >> 8) & 0xFF);
        if (pad < 1) out += static_cast<char>(bits & 0xFF);
    }
    return true;
}

// The pack's largest image is 1130 x 520; a picture beyond this is a damaged file, not artwork.
constexpr std::uint64_t kMaxPixels = std::uint64_t(4096) * 4096;

std::uint32_t bigEndian32(const std::string& bytes, std::size_t at) {
    const auto b = [&](std::size_t i) { return std::uint32_t(static_cast<unsigned char>(bytes[at + i])); };
    return (b(0) << 24) | (b(1) << 16) | (b(2) << 8) | b(3);
}

// The decoder believes a chunk's length and the header's size before it has seen any data, and
// reserves what they claim: a few damaged bytes would cost gigabytes. So every chunk up to IEND
// must lie inside the file, and the picture must be of artwork size, before it is asked.
bool plausiblePng(const std::string& file) {
    static constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
    constexpr std::size_t kChunkFrame = 12;  // length, type, CRC
    if (file.size() < 8 + kChunkFrame + 13 || file.compare(0, 8, kSignature, 8) != 0) return false;
    if (file.compare(12, 4, "IHDR") != 0) return false;
    const std::uint64_t width = bigEndian32(file, 16), height = bigEndian32(file, 20);
    if (width == 0 || height == 0 || width * height > kMaxPixels) return false;
    for (std::size_t at = 8;;) {
        if (file.size() - at < kChunkFrame) return false;
        const std::size_t length = bigEndian32(file, at);
        if (length > file.size() - at - kChunkFrame) return false;
        if (file.compare(at + 4, 4, "IEND") == 0) return true;
        at += kChunkFrame + length;
    }
}

} // namespace

DecodedPng decodePngDataUrl(const char* dataUrl) {
    DecodedPng result;
    if (dataUrl == nullptr || std::strncmp(dataUrl, kPrefix, sizeof kPrefix - 1) != 0) return result;
    const char* payload = dataUrl + (sizeof kPrefix - 1);
    std::string file;
    if (!decodeBase64(payload, std::strlen(payload), file) || file.size() > 0x7FFFFFFFu || !plausiblePng(file))
        return result;
    int width = 0, height = 0, channels = 0;
    stbi_uc* rgba = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(file.data()), static_cast<int>(file.size()),
                                          &width, &height, &channels, 4);
    if (rgba == nullptr) return result;
    if (width <= 0 || height <= 0) {
        stbi_image_free(rgba);
        return result;
    }
    result.rgba.reset(rgba);  // stb allocates with malloc unless told otherwise
    result.width = width;
    result.height = height;
    return result;
}

} // namespace vexagui
