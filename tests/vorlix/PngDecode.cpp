// Test helpers: base64 and PNG decoding.
#include "PngDecode.h"

#include <png.h>

#include <cstring>

namespace vorlix_test {

std::optional<std::string> decodeBase64(const std::string& text) {
    if (text.size() % 4 != 0) return std::nullopt;
    auto value = [](char c) -> int {
        if (c >= 'A' && c <= 'Z') return c - 'A';
        if (c >= 'a' && c <= 'z') return c - 'a' + 26;
        if (c >= '0' && c <= '9') return c - '0' + 52;
        if (c == '+') return 62;
        if (c == '/') return 63;
        return -1;
    };
    std::string out;
    for (size_t i = 0; i < text.size(); i += 4) {
        int v[4];
        int pad = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = text[i + k];
            if (c == '=' && i + 4 == text.size() && k >= 2) {
                v[k] = 0;
                ++pad;
            } else {
                if (pad > 0) return std::nullopt;  // data after padding
                v[k] = value(c);
                if (v[k] < 0) return std::nullopt;
            }
        }
        const unsigned n = (v[0] << 18) | (v[1] << 12) | (v[2] << 6) | v[3];
        out += static_cast<char>((n >> 16) & 0xFF);
        if (pad < 2) out += static_cast<char>((n >> 8) & 0xFF);
        if (pad < 1) out += static_cast<char>(n & 0xFF);
    }
    return out;
}

std::optional<DecodedPng> decodePng(const std::string& file) {
    // Signature, then the header chunk: length, "IHDR", width, height, bit depth, colour type.
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 33 || std::memcmp(file.data(), kSignature, 8) != 0 ||
        file.compare(12, 4, "IHDR") != 0)
        return std::nullopt;
    DecodedPng d;
    d.bitDepth = static_cast<unsigned char>(file[24]);
    d.colorType = static_cast<unsigned char>(file[25]);

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return std::nullopt;
    image.format = PNG_FORMAT_RGBA;
    d.rgba.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, d.rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return std::nullopt;
    }
    d.width = static_cast<int>(image.width);
    d.height = static_cast<int>(image.height);
    return d;
}

}  // namespace vorlix_test
