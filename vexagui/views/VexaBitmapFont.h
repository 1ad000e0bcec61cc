// A bitmap font: per-character rectangles in a texture atlas and pen advances for ASCII, plus a
// kerning table, loaded from a JSON metrics document in the resource pack. A plain value: every
// text view keeps its own copy.
#pragma once

#include "vexagui/render/ResourceSpec.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vexagui {

class VexaBitmapFont {
public:
    struct Definition {
        std::int32_t resourceId = -1;  // negative: no id given
        std::string atlasPath;
        std::string metricsPath;
        std::int32_t atlasWidth = 0;
        std::int32_t atlasHeight = 0;
        std::int32_t firstChar = 32;
        std::int32_t lastChar = 126;
        std::int32_t columns = 16;
        float lineHeight = 10.0f;     // atlas pixels
        float defaultAdvance = 8.0f;  // atlas pixels, for characters without a glyph
        float scale = 1.0f;           // atlas pixels to screen pixels
    };

    struct Glyph {
        bool valid = false;
        float x = 0.0f;  // rectangle in the atlas, pixels
        float y = 0.0f;
        float w = 0.0f;
        float h = 0.0f;
        float advance = 0.0f;  // atlas pixels
    };

    static constexpr int kGlyphCount = 128;

    VexaBitmapFont() = default;
    explicit VexaBitmapFont(const Definition& definition);

    // The fixed 8 x 9 monospaced grid used when a font names nothing at all.
    static VexaBitmapFont makeFallback();
    // Builds the font from the definition (the fallback when it names neither an id nor a path)
    // and loads its metrics.
    static VexaBitmapFont resolve(const Definition& definition);
    static VexaBitmapFont resolve(int resourceId, const std::string& metricsPath);
    static VexaBitmapFont resolve(int resourceId, const std::string& metricsPath, float scale);

    // Reads the metrics document at metricsPath from the installed resource pack. A missing,
    // empty or unparsable document leaves the font unchanged; entries of the wrong shape are
    // skipped one by one and the font keeps what it has.
    void loadMetricsFromJson();

    void setGlyph(int code, const Glyph& glyph);  // codes outside 0..127 are ignored
    void clearKerningPairs();
    void setKerningPair(unsigned char first, unsigned char second, float adjustment);

    // How the editor registers the atlas with the renderer: the pack's image at atlasPath, or
    // a data-less spec of the atlas id and size when the pack has none.
    ResourceSpec resourceSpec() const;

    // Glyph of a byte; bytes of 128 and above use '?'.
    const Glyph& glyph(char ch) const;
    float kerning(char first, char second) const;
    float scaledKerning(char first, char second) const { return kerning(first, second) * scale; }
    // Advance width in atlas pixels of the first min(count, length) bytes, kerning included.
    float prefixWidth(std::string_view text, std::size_t count) const;
    float textWidth(std::string_view text) const { return prefixWidth(text, text.size()); }
    float scaledPrefixWidth(std::string_view text, std::size_t count) const { return prefixWidth(text, count) * scale; }
    float scaledTextWidth(std::string_view text) const { return textWidth(text) * scale; }

    std::size_t kerningPairCount() const { return kerning_.size(); }

    std::int32_t resourceId = -1;
    std::string atlasPath;
    std::string metricsPath;
    std::int32_t atlasWidth = 0;
    std::int32_t atlasHeight = 0;
    std::int32_t firstChar = 32;
    std::int32_t lastChar = 126;
    std::int32_t columns = 16;
    float lineHeight = 10.0f;
    float defaultAdvance = 8.0f;
    float scale = 1.0f;

private:
    static std::uint16_t pairKey(unsigned char first, unsigned char second) {
        return static_cast<std::uint16_t>(first * 256u + second);
    }

    std::array<Glyph, kGlyphCount> glyphs_{};
    std::unordered_map<std::uint16_t, float> kerning_;
};

} // namespace vexagui
