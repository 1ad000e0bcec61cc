// The committed asset sources are exactly what the artwork program draws, so a change to the
// drawing code without regenerating (or a hand edit of a PNG) is caught.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "artwork_set.h"
#include "font_atlas.h"
#include "PackedPixels.h"
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

TEST(ArtworkSource, EmbeddedFontsAreWhatTheArtworkProgramDraws) {
    const struct {
        const char* name;
        const artwork::PixelFont& font;
    } fonts[] = {{"bitrune", artwork::regularFont()}, {"bitrunec", artwork::condensedFont()}};
    for (const auto& f : fonts) {
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
