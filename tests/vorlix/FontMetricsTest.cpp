// The two bitmap fonts as the toolkit loads them from the built-in pack.
#include <gtest/gtest.h>

#include <string>

#include "PackedPixels.h"
#include "vexagui/resources/EmbeddedResources.h"
#include "vexagui/views/VexaBitmapFont.h"

using namespace vexagui;
using vorlix_test::packedPixels;

namespace {

struct FontCase {
    const char* metrics;
    const char* atlas;
    int atlasWidth, cell;
    float defaultAdvance;
    int advances[95];
};

const FontCase kFonts[] = {
    {"vorlix/resources/bitrune.kerning.json", "vorlix/resources/bitrune.png", 128, 8, 8.0f,
     {4, 3, 5, 7, 7, 7, 8, 3, 4, 4, 8, 7, 3, 7, 3, 7, 7, 4, 7, 7, 7, 7, 7, 7, 7, 7, 3, 3,
      5, 7, 5, 6, 7, 7, 7, 7, 7, 6, 7, 7, 7, 3, 7, 7, 6, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,
      7, 7, 7, 4, 7, 4, 5, 7, 4, 6, 6, 5, 6, 6, 5, 6, 6, 3, 4, 5, 3, 7, 6, 6, 6, 6, 5, 6,
      4, 6, 6, 7, 5, 6, 6, 5, 3, 5, 6}},
    {"vorlix/resources/bitrunec.kerning.json", "vorlix/resources/bitrunec.png", 112, 7, 7.0f,
     {5, 2, 4, 6, 6, 6, 7, 2, 3, 3, 6, 6, 2, 6, 2, 6, 6, 3, 6, 6, 6, 6, 6, 6, 6, 6, 2, 2,
      4, 6, 4, 5, 6, 6, 6, 6, 6, 5, 6, 6, 6, 2, 6, 6, 5, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6,
      6, 5, 6, 3, 6, 3, 4, 6, 3, 5, 5, 4, 5, 5, 4, 5, 5, 2, 3, 4, 2, 6, 5, 5, 5, 5, 4, 5,
      3, 5, 5, 6, 4, 5, 5, 4, 2, 4, 5}},
};

class Fonts : public ::testing::Test {
protected:
    void SetUp() override { setResourcePack(&kResourcePack); }
    void TearDown() override { setResourcePack(nullptr); }
};

}  // namespace

TEST_F(Fonts, MetricsLoadWithTheListedAdvancesAndAtlas) {
    for (const FontCase& fc : kFonts) {
        SCOPED_TRACE(fc.metrics);
        const VexaBitmapFont f = VexaBitmapFont::resolve(20000, fc.metrics, 1.5f);
        EXPECT_EQ(f.resourceId, 20000);
        EXPECT_EQ(f.atlasPath, fc.atlas);
        EXPECT_EQ(f.atlasWidth, fc.atlasWidth);
        EXPECT_EQ(f.atlasHeight, 48);
        EXPECT_EQ(f.firstChar, 32);
        EXPECT_EQ(f.lastChar, 126);
        EXPECT_EQ(f.columns, 16);
        EXPECT_FLOAT_EQ(f.lineHeight, 8.0f);
        EXPECT_FLOAT_EQ(f.defaultAdvance, fc.defaultAdvance);
        EXPECT_FLOAT_EQ(f.scale, 1.5f);
        EXPECT_EQ(f.kerningPairCount(), 0u);
        for (int code = 0; code < 128; ++code) {
            const VexaBitmapFont::Glyph& g = f.glyph(static_cast<char>(code));
            if (code < 32 || code > 126) {
                EXPECT_FALSE(g.valid) << code;
                continue;
            }
            const int n = code - 32;
            SCOPED_TRACE(code);
            EXPECT_TRUE(g.valid);
            EXPECT_FLOAT_EQ(g.advance, static_cast<float>(fc.advances[n]));
            EXPECT_FLOAT_EQ(g.w, g.advance);
            EXPECT_FLOAT_EQ(g.h, 8.0f);
            EXPECT_FLOAT_EQ(g.x, static_cast<float>((n % 16) * fc.cell));
            EXPECT_FLOAT_EQ(g.y, static_cast<float>((n / 16) * 8));
        }
    }
}

TEST_F(Fonts, AtlasSpecComesFromThePack) {
    for (const FontCase& fc : kFonts) {
        SCOPED_TRACE(fc.metrics);
        const VexaBitmapFont f = VexaBitmapFont::resolve(20000, fc.metrics, 1.5f);
        const ResourceSpec spec = f.resourceSpec();
        EXPECT_EQ(spec.id, 20000);
        EXPECT_EQ(spec.width, fc.atlasWidth);
        EXPECT_EQ(spec.height, 48);
        EXPECT_EQ(spec.flags, 3u);
        EXPECT_EQ(spec.pixels.size(), static_cast<size_t>(fc.atlasWidth) * 48 * 4);
    }
}

TEST_F(Fonts, EveryGlyphIsInkedWithinItsAdvance) {
    // Ink outside a glyph's rectangle would show up as stray pixels of the next glyph; a
    // printable glyph without ink would draw as a gap.
    for (const FontCase& fc : kFonts) {
        SCOPED_TRACE(fc.metrics);
        const VexaBitmapFont f = VexaBitmapFont::resolve(20000, fc.metrics, 1.5f);
        const PackedResource* atlas = kResourcePack.find(fc.atlas);
        ASSERT_NE(atlas, nullptr);
        std::vector<int> owner(static_cast<size_t>(atlas->width) * atlas->height, -1);
        for (int code = 32; code <= 126; ++code) {
            const VexaBitmapFont::Glyph& g = f.glyph(static_cast<char>(code));
            int ink = 0;
            for (int y = 0; y < static_cast<int>(g.h); ++y)
                for (int x = 0; x < static_cast<int>(g.w); ++x) {
                    const size_t p = static_cast<size_t>(g.y + y) * atlas->width + static_cast<size_t>(g.x + x);
                    owner[p] = code;
                    if (packedPixels(*atlas)[p * 4 + 3] == 255) ++ink;
                }
            if (code == ' ') {
                EXPECT_EQ(ink, 0);
            } else {
                EXPECT_GT(ink, 0) << "glyph " << static_cast<char>(code) << " is empty";
            }
        }
        for (size_t p = 0; p < owner.size(); ++p) {
            if (packedPixels(*atlas)[p * 4 + 3] != 0) {
                EXPECT_GE(owner[p], 0) << "ink outside every glyph at x " << p % atlas->width
                                       << ", y " << p / atlas->width;
            }
        }
    }
}

TEST_F(Fonts, EditorTextMeasuresAsDocumented) {
    const VexaBitmapFont f = VexaBitmapFont::resolve(20000, "vorlix/resources/bitrune.kerning.json", 1.5f);
    EXPECT_FLOAT_EQ(f.scaledTextWidth("AV"), 21.0f);
    EXPECT_FLOAT_EQ(f.scaledTextWidth(" "), 6.0f);
    EXPECT_FLOAT_EQ(f.scaledTextWidth("\xE9"), f.scaledTextWidth("?"));
    // Read-out texts stay within the wells the panel draws for them (checked there): shape
    // names within 30 pixels from the read-out's left edge, voice counts within 25.
    for (const char* s : {"Saw", "Sqr", "Tri", "Sin", "Wht", "Pnk"})
        EXPECT_LE(f.scaledTextWidth(s), 30.0f) << s;
    for (const char* s : {"0", "10", "32"}) EXPECT_LE(f.scaledTextWidth(s), 25.0f) << s;
}
