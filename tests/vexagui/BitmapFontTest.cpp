// Bitmap font metrics loading, measuring and the glyph quads of a line of text.
#include "RecordingRenderer.h"
#include "TestFonts.h"
#include "vexagui/views/TextLayout.h"

#include <gtest/gtest.h>

namespace vexagui {
namespace {

using test::RecordingRenderer;
using test::ScopedPack;

using Op = RecordingRenderer::Op;

// Resolves a font from a metrics document given as text.
VexaBitmapFont fontFrom(const std::string& metrics, VexaBitmapFont::Definition def = {},
                        const std::string& path = "fonts/m.json") {
    ScopedPack pack;
    pack.addDocument(path, metrics);
    def.metricsPath = path;
    return VexaBitmapFont::resolve(def);
}

TEST(BitmapFont, RegularMetricsLoadFromThePack) {
    const VexaBitmapFont font = test::regularFont();
    EXPECT_EQ(font.resourceId, 20000);
    EXPECT_EQ(font.atlasPath, "vorlix/resources/bitrune.png");
    EXPECT_EQ(font.atlasWidth, 128);
    EXPECT_EQ(font.atlasHeight, 48);
    EXPECT_EQ(font.lineHeight, 8.0f);
    EXPECT_EQ(font.defaultAdvance, 8.0f);
    EXPECT_EQ(font.scale, 1.5f);
    const auto& a = font.glyph('A');
    EXPECT_TRUE(a.valid);
    EXPECT_EQ(a.x, 8.0f);
    EXPECT_EQ(a.y, 16.0f);
    EXPECT_EQ(a.w, 7.0f);
    EXPECT_EQ(a.h, 8.0f);
    EXPECT_EQ(font.glyph(' ').advance, 4.0f);
    EXPECT_FALSE(font.glyph('\x7f').valid);
    EXPECT_EQ(font.kerningPairCount(), 0u);
}

TEST(BitmapFont, AtlasPathIsTakenRelativeToTheMetrics) {
    struct Case {
        const char* metricsPath;
        const char* atlasValue;
        const char* expected;
    } cases[] = {
        {"vorlix/resources/bitrune.kerning.json", "bitrune.png", "vorlix/resources/bitrune.png"},
        {"dir\\m.json", "a.png", "dir\\a.png"},
        {"a/b\\c.json", "z.png", "a/b\\z.png"},  // the last separator of either kind
        {"m.json", "a.png", "a.png"},            // no directory to add
        {"x/m.json", "other/a.png", "other/a.png"},
        {"x/m.json", "sub\\a.png", "sub\\a.png"},
        {"x/m.json", "", "given.png"},  // empty: ignored
    };
    for (const Case& c : cases) {
        VexaBitmapFont::Definition def;
        def.atlasPath = "given.png";
        const nlohmann::json doc = {{"atlasPath", c.atlasValue}};
        EXPECT_EQ(fontFrom(doc.dump(), def, c.metricsPath).atlasPath, c.expected) << c.metricsPath << " + " << c.atlasValue;
    }
}

TEST(BitmapFont, GlyphDefaultsFollowTheDocumentsOwnValues) {
    VexaBitmapFont::Definition def;
    def.resourceId = 7;
    def.atlasWidth = 99;
    const VexaBitmapFont font =
        fontFrom(R"({"resourceId": 20000, "lineHeight": 12, "defaultAdvance": 5, "glyphs": {"65": {"x": 1}}})", def);
    EXPECT_EQ(font.resourceId, 7);     // an id given by the definition wins
    EXPECT_EQ(font.atlasWidth, 99);    // absent keys keep the definition's values
    EXPECT_EQ(font.lineHeight, 12.0f);
    const auto& a = font.glyph('A');
    EXPECT_TRUE(a.valid);
    EXPECT_EQ(a.x, 1.0f);
    EXPECT_EQ(a.y, 0.0f);
    EXPECT_EQ(a.w, 0.0f);
    EXPECT_EQ(a.h, 12.0f);
    EXPECT_EQ(a.advance, 5.0f);
    EXPECT_FALSE(font.glyph('B').valid);

    EXPECT_EQ(fontFrom(R"({"resourceId": 20000})").resourceId, 20000);  // no id given: the document's
}

TEST(BitmapFont, OutOfRangeAndMalformedEntriesAreSkippedOneByOne) {
    const VexaBitmapFont font = fontFrom(R"({
        "glyphs": {
            "128": {"x": 1}, "-1": {"x": 1}, "abc": {"x": 1},
            " 66": {"x": 3}, "67x": {"x": 4}, "65": "not an object", "68": {"x": "str", "advance": 2},
            "99999999999999999999": {"x": 1}
        },
        "kerning": {
            "65,86": -1, "300,65": 2, "6586": 3, "a,b": 4, "66, 67": 1.5, "70,71": "x", "-1,65": 1,
            "72,73,74": 2.5
        }
    })");
    EXPECT_TRUE(font.glyph('B').valid);
    EXPECT_EQ(font.glyph('B').x, 3.0f);
    EXPECT_EQ(font.glyph('C').x, 4.0f);
    EXPECT_FALSE(font.glyph('A').valid);
    EXPECT_TRUE(font.glyph('D').valid);
    EXPECT_EQ(font.glyph('D').x, 0.0f);
    EXPECT_EQ(font.glyph('D').advance, 2.0f);
    EXPECT_EQ(font.kerning('A', 'V'), -1.0f);
    EXPECT_EQ(font.kerning('B', 'C'), 1.5f);
    EXPECT_EQ(font.kerning('H', 'I'), 2.5f);  // text after the second number is ignored
    EXPECT_EQ(font.kerningPairCount(), 3u);
}

TEST(BitmapFont, UnusableDocumentsLeaveTheFontAsItWas) {
    struct Case {
        const char* text;
        bool keepsKerning;
    } cases[] = {
        {"[1, 2]", true},
        {"\"just a string\"", true},
        {"{\"glyphs\": ", true},  // unparsable
        {"", true},               // empty document
        {"{}", false},            // a valid document always rebuilds the kerning table
    };
    for (const Case& c : cases) {
        ScopedPack pack;
        pack.addDocument("m.json", c.text);
        VexaBitmapFont::Definition def;
        def.metricsPath = "m.json";
        VexaBitmapFont font(def);
        VexaBitmapFont::Glyph g;
        g.valid = true;
        g.advance = 3.0f;
        font.setGlyph('x', g);
        font.setKerningPair('x', 'x', 2.0f);
        font.loadMetricsFromJson();
        EXPECT_TRUE(font.glyph('x').valid) << c.text;
        EXPECT_EQ(font.kerning('x', 'x'), c.keepsKerning ? 2.0f : 0.0f) << c.text;
        EXPECT_EQ(font.lineHeight, 10.0f) << c.text;
    }
}

TEST(BitmapFont, ResolveFallsBackOnlyWhenNothingIsNamed) {
    const VexaBitmapFont fallback = VexaBitmapFont::resolve(VexaBitmapFont::Definition{});
    EXPECT_EQ(fallback.atlasWidth, 128);
    EXPECT_EQ(fallback.atlasHeight, 96);
    EXPECT_EQ(fallback.lineHeight, 9.0f);
    const auto& a = fallback.glyph('A');  // cell 33: column 1, row 2 of an 8 x 9 grid
    EXPECT_TRUE(a.valid);
    EXPECT_EQ(a.x, 8.0f);
    EXPECT_EQ(a.y, 18.0f);
    EXPECT_EQ(a.w, 8.0f);
    EXPECT_EQ(a.h, 9.0f);
    EXPECT_FALSE(fallback.glyph('\x1f').valid);

    VexaBitmapFont::Definition withId;
    withId.resourceId = 7;
    const VexaBitmapFont bare = VexaBitmapFont::resolve(withId);  // no metrics anywhere
    EXPECT_FALSE(bare.glyph('A').valid);
    EXPECT_EQ(bare.textWidth("ab"), 16.0f);  // defaultAdvance per character
    RecordingRenderer r;
    TextureHandle texture;
    std::vector<VisualHandle> handles;
    syncBitmapText(r, texture, handles, bare, Rect{0, 0, 50, 10}, "ab", TextAlign::Left);
    EXPECT_EQ(r.count(Op::kCreateQuad), 0u);
    EXPECT_EQ(r.resourceOf(texture), 7);
}

TEST(BitmapFont, AtlasResourceSpecComesFromThePackOrIsEmpty) {
    VexaBitmapFont font = test::regularFont();
    ResourceSpec missing = font.resourceSpec();  // no pack installed now
    EXPECT_EQ(missing.id, 20000);
    EXPECT_EQ(missing.width, 128);
    EXPECT_EQ(missing.height, 48);
    EXPECT_EQ(missing.flags, 0u);
    EXPECT_TRUE(missing.pixels.empty());

    ScopedPack pack;
    pack.addImage("vorlix/resources/bitrune.png", 128, 48);
    const ResourceSpec spec = font.resourceSpec();
    EXPECT_EQ(spec.id, 20000);
    EXPECT_EQ(spec.flags, ResourceSpec::kHasPixels);
    EXPECT_EQ(spec.pixels.size(), 128u * 48u * 4u);
}

struct Quad {
    Rect dst;
    Rect src;
};

std::vector<Quad> quadsOf(const RecordingRenderer& r, const std::vector<VisualHandle>& handles) {
    std::vector<Quad> out;
    for (VisualHandle h : handles) {
        if (const auto* v = r.visual(h)) out.push_back(Quad{v->dst, v->src});
    }
    return out;
}

TEST(BitmapText, WidthAndCentringAtScaleOneAndAHalf) {
    VexaBitmapFont font = test::regularFont();
    EXPECT_EQ(font.scaledTextWidth("AV"), 21.0f);
    RecordingRenderer r;
    TextureHandle texture;
    std::vector<VisualHandle> handles;
    syncBitmapText(r, texture, handles, font, Rect{0, 0, 100, 20}, "AV", TextAlign::Center);
    auto quads = quadsOf(r, handles);
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_EQ(quads[0].dst, (Rect{39.5f, 4.0f, 10.5f, 12.0f}));  // line box centred: (20 - 12) / 2
    EXPECT_EQ(quads[0].src, (Rect{8, 16, 7, 8}));
    EXPECT_EQ(quads[1].dst.x, 50.0f);
    EXPECT_EQ(r.resourceOf(texture), 20000);

    // Kerning A,V of -1 atlas pixel: 1.5 screen pixels narrower, V shifted left by as much.
    font.setKerningPair('A', 'V', -1.0f);
    EXPECT_EQ(font.scaledTextWidth("AV"), 19.5f);
    EXPECT_EQ(font.scaledKerning('A', 'V'), -1.5f);
    EXPECT_EQ(font.kerning('V', 'A'), 0.0f);
    syncBitmapText(r, texture, handles, font, Rect{0, 0, 100, 20}, "AV", TextAlign::Center);
    quads = quadsOf(r, handles);
    EXPECT_EQ(quads[0].dst.x, 40.25f);
    EXPECT_EQ(quads[1].dst.x - quads[0].dst.x, 9.0f);

    // Left alignment, and text wider than its rectangle starts at the left edge, unclipped.
    syncBitmapText(r, texture, handles, font, Rect{5, 0, 10, 20}, "AV", TextAlign::Center);
    EXPECT_EQ(quadsOf(r, handles)[0].dst.x, 5.0f);
    syncBitmapText(r, texture, handles, font, Rect{5, 0, 100, 20}, "AV", static_cast<TextAlign>(7));
    EXPECT_EQ(quadsOf(r, handles)[0].dst.x, 5.0f);
    // A rectangle lower than the line box: the glyphs start at its top.
    syncBitmapText(r, texture, handles, font, Rect{5, 30, 100, 4}, "AV", TextAlign::Left);
    EXPECT_EQ(quadsOf(r, handles)[0].dst.y, 30.0f);
}

TEST(BitmapText, SpacesAndHighBytes) {
    const VexaBitmapFont font = test::regularFont();
    EXPECT_EQ(font.textWidth("A B"), 7.0f + 4.0f + 7.0f);
    EXPECT_EQ(font.textWidth("\xE9"), 6.0f);  // measured as '?'
    EXPECT_EQ(font.prefixWidth("ABC", 2), 14.0f);
    EXPECT_EQ(font.prefixWidth("ABC", 99), 21.0f);

    RecordingRenderer r;
    TextureHandle texture;
    std::vector<VisualHandle> handles;
    syncBitmapText(r, texture, handles, font, Rect{0, 0, 0, 12}, "A B\xE9", TextAlign::Left);
    ASSERT_EQ(handles.size(), 4u);
    EXPECT_EQ(handles[1].id, 0u);  // the space has no quad
    EXPECT_EQ(r.visual(handles[2])->dst.x, (7.0f + 4.0f) * 1.5f);
    const auto& q = font.glyph('?');
    EXPECT_EQ(r.visual(handles[3])->src, (Rect{q.x, q.y, q.w, q.h}));
}

TEST(BitmapText, QuadsStayAlignedWithBytesWhenTextChanges) {
    const VexaBitmapFont font = test::regularFont();
    RecordingRenderer r;
    TextureHandle texture;
    std::vector<VisualHandle> handles;
    const Rect rect{0, 0, 100, 12};
    syncBitmapText(r, texture, handles, font, rect, "abc", TextAlign::Left);
    const std::vector<VisualHandle> first = handles;
    EXPECT_EQ(r.count(Op::kCreateTexture), 1u);

    r.clearCalls();
    syncBitmapText(r, texture, handles, font, rect, "ab", TextAlign::Left);  // shorter by one
    EXPECT_EQ(r.count(Op::kDestroyVisual), 1u);
    EXPECT_EQ(r.calls.front().handle, first[2].id);
    EXPECT_EQ(r.count(Op::kCreateQuad), 0u);
    EXPECT_EQ(r.count(Op::kCreateTexture), 0u);

    r.clearCalls();
    syncBitmapText(r, texture, handles, font, rect, "abd", TextAlign::Left);  // longer again
    EXPECT_EQ(r.count(Op::kCreateQuad), 1u);
    EXPECT_EQ(r.count(Op::kDestroyVisual), 0u);

    r.clearCalls();
    syncBitmapText(r, texture, handles, font, rect, "aXd", TextAlign::Left);  // one byte changed
    EXPECT_EQ(r.count(Op::kCreateQuad), 0u);
    EXPECT_EQ(r.count(Op::kDestroyVisual), 0u);
    EXPECT_EQ(handles[0], first[0]);
    EXPECT_EQ(handles[1], first[1]);
    EXPECT_EQ(r.visual(handles[1])->src.x, font.glyph('X').x);

    r.clearCalls();
    syncBitmapText(r, texture, handles, font, rect, "a d", TextAlign::Left);  // a space drops its quad
    EXPECT_EQ(r.count(Op::kDestroyVisual), 1u);
    EXPECT_EQ(handles[1].id, 0u);

    std::vector<VisualHandle> collected{VisualHandle{99}};
    collectBitmapTextHandles(handles, collected);
    EXPECT_EQ(collected, (std::vector<VisualHandle>{VisualHandle{99}, handles[0], handles[2]}));

    destroyBitmapText(nullptr, collected);  // no renderer: only empties
    EXPECT_TRUE(collected.empty());
    destroyBitmapText(&r, handles);
    EXPECT_TRUE(handles.empty());
    EXPECT_TRUE(r.visuals.empty());
}

} // namespace
} // namespace vexagui
