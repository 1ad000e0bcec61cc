// Test resource packs and the regular bitmap-font metrics document, for headless text tests.
#pragma once

#include "vexagui/resources/ResourcePack.h"
#include "vexagui/views/VexaBitmapFont.h"

#include <nlohmann/json.hpp>

#include <deque>
#include <string>
#include <vector>

namespace vexagui::test {

inline constexpr const char* kRegularMetricsPath = "vorlix/resources/bitrune.kerning.json";

// Pen advances of the regular font, codes 32 to 126.
inline constexpr int kRegularAdvances[95] = {
    4, 3, 5, 7, 7, 7, 8, 3, 4, 4, 8, 7, 3, 7, 3, 7, 7, 4, 7, 7, 7, 7, 7, 7, 7, 7, 3, 3, 5, 7, 5, 6,
    7, 7, 7, 7, 7, 6, 7, 7, 7, 3, 7, 7, 6, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 4, 7, 4, 5, 7,
    4, 6, 6, 5, 6, 6, 5, 6, 6, 3, 4, 5, 3, 7, 6, 6, 6, 6, 5, 6, 4, 6, 6, 7, 5, 6, 6, 5, 3, 5, 6};

// The regular metrics document: an 8-pixel grid of 16 columns, w equal to the advance.
inline nlohmann::json regularMetrics() {
    nlohmann::json doc = {
        {"resourceId", 20000}, {"atlasPath", "bitrune.png"}, {"atlasWidth", 128}, {"atlasHeight", 48},
        {"pixelHeight", 6},    {"firstChar", 32},            {"lastChar", 126},   {"columns", 16},
        {"lineHeight", 8},     {"defaultAdvance", 8},        {"kerning", nlohmann::json::object()},
    };
    nlohmann::json glyphs = nlohmann::json::object();
    for (int k = 32; k <= 126; ++k) {
        const int n = k - 32;
        const int advance = kRegularAdvances[n];
        glyphs[std::to_string(k)] = {{"x", (n % 16) * 8}, {"y", (n / 16) * 8}, {"w", advance}, {"h", 8}, {"advance", advance}};
    }
    doc["glyphs"] = glyphs;
    return doc;
}

// A pack built in the test and installed for its lifetime (the previous pack is restored).
class ScopedPack {
public:
    ScopedPack() : previous_(resourcePack()) { setResourcePack(&pack_); }
    ~ScopedPack() { setResourcePack(previous_); }
    ScopedPack(const ScopedPack&) = delete;
    ScopedPack& operator=(const ScopedPack&) = delete;

    void addDocument(const std::string& path, const std::string& text) {
        const std::string& p = strings_.emplace_back(path);
        const std::string& t = strings_.emplace_back(text);
        PackedResource e;
        e.path = p.c_str();
        e.mimeType = "application/json";
        e.text = t.c_str();
        e.textLength = t.size();
        add(e);
    }
    void addImage(const std::string& path, int width, int height) {
        const std::string& p = strings_.emplace_back(path);
        auto& pixels = pixels_.emplace_back(static_cast<std::size_t>(width) * height * 4, std::uint8_t{0x7f});
        PackedResource e;
        e.path = p.c_str();
        e.mimeType = "image/png";
        e.width = width;
        e.height = height;
        e.channels = 4;
        e.bitsPerChannel = 8;
        e.pixels = pixels.data();
        e.pixelBytes = pixels.size();
        add(e);
    }

private:
    void add(const PackedResource& e) {
        entries_.push_back(e);
        pack_.entries = entries_.data();
        pack_.entryCount = entries_.size();
    }

    const ResourcePack* previous_;
    ResourcePack pack_{};
    std::vector<PackedResource> entries_;
    std::deque<std::string> strings_;
    std::deque<std::vector<std::uint8_t>> pixels_;
};

// The font the synthesizer's screen uses: regular metrics at scale 1.5.
inline VexaBitmapFont regularFont(float scale = 1.5f) {
    ScopedPack pack;
    pack.addDocument(kRegularMetricsPath, regularMetrics().dump());
    return VexaBitmapFont::resolve(20000, kRegularMetricsPath, scale);
}

} // namespace vexagui::test
