// Test helpers: base64 and PNG decoding, independent of the generator's encoder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorlix_test {

// Standard alphabet with '=' padding; nullopt on any other character or a bad length.
std::optional<std::string> decodeBase64(const std::string& text);

struct DecodedPng {
    int width = 0, height = 0;
    int bitDepth = 0, colorType = 0;  // from the file's header chunk
    std::vector<std::uint8_t> rgba;   // 8-bit RGBA, top row first
};
std::optional<DecodedPng> decodePng(const std::string& file);

}  // namespace vorlix_test
