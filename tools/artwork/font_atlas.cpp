// Font atlas pictures and metrics documents.
#include "font_atlas.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <vector>

#include "pixel_art.h"
#include "png_io.h"

namespace artwork {

constexpr int kColumns = 16;
constexpr int kAtlasRows = (kGlyphCount + kColumns - 1) / kColumns;  // 6

std::string fontMetricsJson(const PixelFont& font, const std::string& atlasFile, int scale) {
    const int s = scale;
    nlohmann::ordered_json doc;
    doc["resourceId"] = 20000;
    doc["atlasPath"] = atlasFile;
    doc["atlasWidth"] = font.cellWidth * kColumns * s;
    doc["atlasHeight"] = kGlyphRows * kAtlasRows * s;
    doc["pixelHeight"] = 6 * s;  // capital height
    doc["firstChar"] = kFirstChar;
    doc["lastChar"] = kLastChar;
    doc["columns"] = kColumns;
    doc["lineHeight"] = kGlyphRows * s;
    doc["defaultAdvance"] = font.cellWidth * s;
    nlohmann::ordered_json glyphs = nlohmann::ordered_json::object();
    for (int n = 0; n < kGlyphCount; ++n) {
        nlohmann::ordered_json g;
        g["x"] = (n % kColumns) * font.cellWidth * s;
        g["y"] = (n / kColumns) * kGlyphRows * s;
        g["w"] = font.advance[n] * s;
        g["h"] = kGlyphRows * s;
        g["advance"] = font.advance[n] * s;
        glyphs[std::to_string(kFirstChar + n)] = g;
    }
    doc["glyphs"] = glyphs;
    doc["kerning"] = nlohmann::ordered_json::object();
    return doc.dump(2) + "\n";
}

std::vector<uint8_t> fontAtlasMask(const PixelFont& font, int scale) {
    const int s = scale;
    const int width = font.cellWidth * kColumns * s;
    std::vector<uint8_t> mask(static_cast<size_t>(width) * kGlyphRows * kAtlasRows * s, 0);
    const auto put = [&](int x, int y) { mask[static_cast<size_t>(y) * width + x] = 1; };
    for (int n = 0; n < kGlyphCount; ++n) {
        const int ox = (n % kColumns) * font.cellWidth, oy = (n / kColumns) * kGlyphRows;
        const InkAt ink = [&](int c, int r) { return font.pixel(kFirstChar + n, c, r); };
        for (int r = 0; r < kGlyphRows; ++r)
            for (int c = 0; c < font.advance[n]; ++c) {
                if (s == 1) {
                    if (ink(c, r)) put(ox + c, oy + r);
                    continue;
                }
                // Each glyph on its own: a neighbour cell's ink must not reach into it.
                const Quarters q = scale2xQuarters(ink, font.advance[n], kGlyphRows, c, r);
                const int x = (ox + c) * 2, y = (oy + r) * 2;
                if (q.topLeft) put(x, y);
                if (q.topRight) put(x + 1, y);
                if (q.bottomLeft) put(x, y + 1);
                if (q.bottomRight) put(x + 1, y + 1);
            }
    }
    return mask;
}

bool writeFontAtlas(const std::string& dir, const std::string& name, const PixelFont& font, int scale) {
    const int width = font.cellWidth * kColumns * scale;
    const int height = kGlyphRows * kAtlasRows * scale;
    if (!writePngPalette2(dir + "/" + name + ".png", width, height, fontAtlasMask(font, scale), kGlyphInk))
        return false;
    std::ofstream json(dir + "/" + name + ".kerning.json", std::ios::binary);
    json << fontMetricsJson(font, name + ".png", scale);
    return static_cast<bool>(json);
}

}  // namespace artwork
