// The committed asset sources are exactly what the artwork program draws, so a change to the
// drawing code without regenerating (or a hand edit of a PNG) is caught.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "artwork_set.h"
#include "font_atlas.h"
#include "PackedPixels.h"
#include "png_io.h"
#include "vexagui/resources/EmbeddedResources.h"

using namespace vexagui;
using vorlix_test::packedPixels;

TEST(ArtworkSource, EmbeddedImagesAreWhatTheArtworkProgramDraws) {
    for (const artwork::DrawnImage& d : artwork::drawEditorImages()) {
        const std::string path = "vorlix/resources/bmp00" + std::to_string(d.id) + ".png";
        SCOPED_TRACE(path);
        const PackedResource* r = kResourcePack.find(path.c_str());
        ASSERT_NE(r, nullptr);
        ASSERT_EQ(r->width, d.image.width());
        ASSERT_EQ(r->height, d.image.height());
        const std::vector<uint8_t> drawn = d.image.toRgba8();
        ASSERT_EQ(drawn.size(), r->imagePixels().size());
        const uint8_t* pixels = packedPixels(*r);
        ASSERT_NE(pixels, nullptr);
        size_t differing = 0;
        for (size_t i = 0; i < drawn.size(); ++i) differing += drawn[i] != pixels[i];
        EXPECT_EQ(differing, 0u) << "regenerate with vorlix-artwork vorlix/resources";
    }
}

struct DrawnFont {
    const char* name;
    const artwork::PixelFont& font;
};

// The two fonts the artwork program draws, under the names their files carry.
const std::vector<DrawnFont>& drawnFonts() {
    static const std::vector<DrawnFont> fonts = {{"bitrune", artwork::regularFont()},
                                                 {"bitrunec", artwork::condensedFont()}};
    return fonts;
}

TEST(ArtworkSource, EmbeddedFontsAreWhatTheArtworkProgramDraws) {
    for (const auto& f : drawnFonts()) {
        SCOPED_TRACE(f.name);
        const std::string base = std::string("vorlix/resources/") + f.name;
        const PackedResource* metrics = kResourcePack.find((base + ".kerning.json").c_str());
        const PackedResource* atlas = kResourcePack.find((base + ".png").c_str());
        ASSERT_NE(metrics, nullptr);
        ASSERT_NE(atlas, nullptr);
        EXPECT_EQ(std::string(metrics->text, metrics->textLength),
                  artwork::fontMetricsJson(f.font, std::string(f.name) + ".png"));
        // Glyph pixels: ink colour where the font has ink, transparent elsewhere.
        size_t wrong = 0;
        for (int code = 32; code <= 126; ++code) {
            const int n = code - 32;
            const int ox = (n % 16) * f.font.cellWidth, oy = (n / 16) * 8;
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < f.font.cellWidth; ++x) {
                    const uint8_t* p = packedPixels(*atlas) + (static_cast<size_t>(oy + y) * atlas->width + ox + x) * 4;
                    const bool ink = f.font.pixel(code, x, y);
                    const uint32_t rgb = (p[0] << 16) | (p[1] << 8) | p[2];
                    if (ink != (p[3] == 255) || (ink && rgb != artwork::kGlyphInk)) ++wrong;
                }
        }
        EXPECT_EQ(wrong, 0u);
    }
}

// The 2x set (vorlix/resources/2x) is drawn by the same code at twice the resolution. A renderer
// swaps it in for the 1x images without touching texture coordinates or the text layout, so
// every 2x image is exactly twice its 1x image each way, and seen from afar it is the same
// picture: each 2 x 2 block averages to the 1x pixel within a small tolerance (a shifted or
// mis-scaled drawing fails this long before anyone sees it).
namespace {

const std::string kSources = VORLIX_SOURCE_DIR "/vorlix/resources/";

struct Png {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

Png readCommitted(const std::string& relative) {
    Png p;
    EXPECT_TRUE(artwork::readPngRgba(kSources + relative, p.width, p.height, p.rgba)) << relative;
    return p;
}

// Mean absolute difference per channel between the 1x picture and the 2x one averaged down.
double meanDifferenceFromAverage(const Png& small, const Png& big) {
    double sum = 0;
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x)
            for (int ch = 0; ch < 4; ++ch) {
                int block = 0;
                for (int j = 0; j < 2; ++j)
                    for (int i = 0; i < 2; ++i)
                        block += big.rgba[(static_cast<size_t>(2 * y + j) * big.width + 2 * x + i) * 4 + ch];
                sum += std::abs(block / 4.0 - small.rgba[(static_cast<size_t>(y) * small.width + x) * 4 + ch]);
            }
    return sum / (static_cast<double>(small.width) * small.height * 4);
}

}  // namespace

TEST(ArtworkSource, DoubleResolutionImagesAreWhatTheArtworkProgramDraws) {
    const std::vector<artwork::DrawnImage> big = artwork::drawEditorImages(2);
    const std::vector<artwork::DrawnImage> small = artwork::drawEditorImages(1);
    ASSERT_EQ(big.size(), small.size());
    for (size_t n = 0; n < big.size(); ++n) {
        const std::string file = "bmp00" + std::to_string(big[n].id) + ".png";
        SCOPED_TRACE(file);
        const Png committed = readCommitted("2x/" + file);
        ASSERT_EQ(committed.width, 2 * small[n].image.width());
        ASSERT_EQ(committed.height, 2 * small[n].image.height());
        EXPECT_TRUE(committed.rgba == big[n].image.toRgba8()) << "regenerate with vorlix-artwork vorlix/resources";
        EXPECT_LT(meanDifferenceFromAverage(readCommitted(file), committed), 3.0);
    }
}

TEST(ArtworkSource, DoubleResolutionFontsDoubleEveryMetric) {
    for (const auto& f : drawnFonts()) {
        SCOPED_TRACE(f.name);
        const Png small = readCommitted(std::string(f.name) + ".png");
        const Png big = readCommitted(std::string("2x/") + f.name + ".png");
        ASSERT_EQ(big.width, 2 * small.width);
        ASSERT_EQ(big.height, 2 * small.height);
        const std::vector<uint8_t> mask = artwork::fontAtlasMask(f.font, 2);
        size_t wrong = 0;
        for (size_t i = 0; i < mask.size(); ++i) wrong += (mask[i] != 0) != (big.rgba[i * 4 + 3] == 255);
        EXPECT_EQ(wrong, 0u);
        // Every ink pixel of the 1x atlas is a solid 2 x 2 block of ink at 2x: the smoothing
        // only adds ink in the steps of diagonals.
        size_t lost = 0;
        for (int y = 0; y < small.height; ++y)
            for (int x = 0; x < small.width; ++x)
                if (small.rgba[(static_cast<size_t>(y) * small.width + x) * 4 + 3] == 255)
                    for (int j = 0; j < 2; ++j)
                        for (int i = 0; i < 2; ++i)
                            lost += big.rgba[(static_cast<size_t>(2 * y + j) * big.width + 2 * x + i) * 4 + 3] != 255;
        EXPECT_EQ(lost, 0u);

        std::ifstream in(kSources + "2x/" + f.name + ".kerning.json", std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(text, artwork::fontMetricsJson(f.font, std::string(f.name) + ".png", 2));
        const auto one = nlohmann::json::parse(artwork::fontMetricsJson(f.font, "x", 1));
        const auto two = nlohmann::json::parse(text);
        for (const char* key : {"atlasWidth", "atlasHeight", "pixelHeight", "lineHeight", "defaultAdvance"})
            EXPECT_EQ(two[key].get<int>(), 2 * one[key].get<int>()) << key;
        for (const auto& [code, g] : one["glyphs"].items())
            for (const char* key : {"x", "y", "w", "h", "advance"})
                EXPECT_EQ(two["glyphs"][code][key].get<int>(), 2 * g[key].get<int>()) << code << " " << key;
    }
}
