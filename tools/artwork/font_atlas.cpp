// Font atlas pictures and metrics documents.
#include "font_atlas.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <vector>

#include "png_io.h"

namespace artwork {

constexpr int kColumns = 16;
constexpr int kAtlasRows = (kGlyphCount + kColumns - 1) / kColumns;  // 6

std::string fontMetricsJson(const PixelFont& font, const std::string& atlasFile) {
    nlohmann::ordered_json doc;
    doc["resourceId"] = 20000;
    doc["atlasPath"] = atlasFile;
    doc["atlasWidth"] = font.cellWidth * kColumns;
    doc["atlasHeight"] = kGlyphRows * kAtlasRows;
    doc["pixelHeight"] = 6;  // capital height
    doc["firstChar"] = kFirstChar;
    doc["lastChar"] = kLastChar;
    doc["columns"] = kColumns;
    doc["lineHeight"] = kGlyphRows;
    doc["defaultAdvance"] = font.cellWidth;
    nlohmann::ordered_json glyphs = nlohmann::ordered_json::object();
    for (int n = 0; n < kGlyphCount; ++n) {
        nlohmann::ordered_json g;
        g["x"] = (n % kColumns) * font.cellWidth;
        g["y"] = (n / kColumns) * kGlyphRows;
        g["w"] = font.advance[n];
        g["h"] = kGlyphRows;
        g["advance"] = font.advance[n];
        glyphs[std::to_string(kFirstChar + n)] = g;
    }
    doc["glyphs"] = glyphs;
    doc["kerning"] = nlohmann::ordered_json::object();
    return doc.dump(2) + "\n";
}

bool writeFontAtlas(const std::string& dir, const std::string& name, const PixelFont& font) {
    const int width = font.cellWidth * kColumns;
    const int height = kGlyphRows * kAtlasRows;
    std::vector<uint8_t> mask(static_cast<size_t>(width) * height, 0);
    for (int n = 0; n < kGlyphCount; ++n) {
        const int ox = (n % kColumns) * font.cellWidth, oy = (n / kColumns) * kGlyphRows;
        for (int r = 0; r < kGlyphRows; ++r)
            for (int c = 0; c < font.advance[n]; ++c)
                if (font.pixel(kFirstChar + n, c, r))
                    mask[static_cast<size_t>(oy + r) * width + ox + c] = 1;
    }
    if (!writePngPalette2(dir + "/" + name + ".png", width, height, mask, kGlyphInk)) return false;
    std::ofstream json(dir + "/" + name + ".kerning.json", std::ios::binary);
    json << fontMetricsJson(font, name + ".png");
    return static_cast<bool>(json);
}

}  // namespace artwork
