// The on-screen keyboard: key geometry, black keys over white ones, glissando order, gaps and the
// top strip, and its rectangles on the renderer. Driven through the editor as a user would.
#include "EditorTestHost.h"

#include "RecordingRenderer.h"
#include "editor/VorlixPianoView.h"

#include <gtest/gtest.h>

#include <set>

using namespace Vorlix;
using namespace Vorlix::test;
using vexagui::Rect;

namespace {

constexpr float kP = 565.0f / 14.0f;  // white-key pitch of a 565-pixel keyboard

} // namespace

TEST(VorlixPianoView, TwoOctavesOfKeysAtTheirPlaces) {
    VorlixPianoView piano(Rect{10, 100, 565, 84}, {});
    ASSERT_EQ(piano.whiteKeyList().size(), 14u);
    ASSERT_EQ(piano.blackKeyList().size(), 10u);
    std::set<int> notes;
    for (const auto& k : piano.whiteKeyList()) {
        EXPECT_FALSE(k.black);
        EXPECT_EQ(k.rect.height, 62.0f);
        notes.insert(k.note);
    }
    for (const auto& k : piano.blackKeyList()) {
        EXPECT_TRUE(k.black);
        EXPECT_EQ(k.rect.height, 38.0f);
        notes.insert(k.note);
    }
    EXPECT_EQ(notes.size(), 24u);
    EXPECT_EQ(*notes.begin(), 48);
    EXPECT_EQ(*notes.rbegin(), 71);

    const Rect c = piano.whiteKeyList()[0].rect;
    EXPECT_EQ(piano.whiteKeyList()[0].note, 48);
    EXPECT_FLOAT_EQ(c.x, 10.0f);
    EXPECT_FLOAT_EQ(c.y, 114.0f);
    EXPECT_NEAR(c.width, 39.36f, 0.01f);
    const Rect cs = piano.blackKeyList()[0].rect;
    EXPECT_EQ(piano.blackKeyList()[0].note, 49);
    EXPECT_NEAR(cs.x, 10.0f + 27.85f, 0.01f);
    EXPECT_NEAR(cs.width, 25.02f, 0.01f);
    EXPECT_EQ(piano.whiteKeyList()[7].note, 60);
    EXPECT_EQ(piano.blackKeyList()[9].note, 70);
}

TEST(VorlixPianoView, HitNotePrefersBlackKeysAndLeavesGaps) {
    VorlixPianoView piano(Rect{0, 0, 565, 84}, {});
    struct Case {
        float x;
        float y;
        int note;
    };
    const Case cases[] = {
        {5, 40, 48},                     // C, above the black keys' bottom
        {0.69f * kP + 0.01f, 20, 49},    // C sharp's left edge lies over C: black wins
        {kP, 51.9f, 49},                 // white boundary under C sharp
        {kP - 0.5f, 70, -1},             // the gap right of C, below the black keys
        {kP + 2, 70, 50},                // D
        {20, 13.5f, -1},                 // the top strip
        {20, 14, 48},                    // first row of the keys (edges inclusive)
        {20, 76, 48},                    // last row of the white keys
        {20, 76.5f, -1},                 // below the keys
        {13 * kP + 5, 60, 71},           // the last B, below A sharp
        {7 * kP + 1.31f * kP - 1, 30, 61},  // C sharp of the second octave
    };
    for (const Case& c : cases) EXPECT_EQ(piano.hitNote({c.x, c.y}), c.note) << c.x << "," << c.y;
}

TEST(VorlixPianoView, GlissandoReleasesBeforeItPlays) {
    EditorTestHost host;
    VorlixEditor editor(host.callbacks(true), VorlixEditor::Options{false, true});
    const float keys = 260 + 14;  // top of the keys
    const float whiteY = keys + 50, blackY = keys + 20;
    const float c4 = 7 * kP + 5, cs4 = 7 * kP + kP - 0.31f * kP + 5;

    editor.pointerDown(c4, whiteY, 1);
    editor.pointerMove(c4 + 1, whiteY, 1);  // same key: nothing
    editor.pointerMove(cs4, blackY, 1);
    editor.pointerMove(c4, whiteY, 1);
    editor.pointerMove(c4, keys - 5, 1);  // top strip: releases
    editor.pointerMove(kP + 2, whiteY, 1);  // back onto D
    editor.pointerMove(kP - 0.5f, whiteY, 1);  // gap: releases
    editor.pointerUp(kP - 0.5f, whiteY, 0);  // nothing more
    const std::vector<int> expected{60, -61, 61, -62, 60, -61, 50, -51};
    EXPECT_EQ(host.notes, expected);
    EXPECT_TRUE(host.tags.empty());

    host.notes.clear();
    editor.pointerDown(cs4, blackY, 1);
    editor.pointerUp(600, 600, 0);  // released anywhere: the held note ends
    EXPECT_EQ(host.notes, (std::vector<int>{61, -62}));
}

TEST(VorlixPianoView, KeysDrawAsRectanglesWithTheHeldKeyLit) {
    vexagui::test::RecordingRenderer renderer;
    vexagui::VexaEditor root(565, 84);
    auto& view = root.addView<VorlixPianoView>(Rect{0, 0, 565, 84}, VorlixPianoView::Callbacks{});
    root.setContext(&renderer);
    root.syncContext();
    ASSERT_EQ(renderer.scene.size(), 24u);
    const auto visuals = renderer.sceneVisuals();
    for (std::size_t i = 0; i < 14; ++i) EXPECT_EQ(visuals[i].color, VorlixPianoView::kWhiteColor);
    for (std::size_t i = 14; i < 24; ++i) EXPECT_EQ(visuals[i].color, VorlixPianoView::kBlackColor);

    const int redraws = renderer.redrawRequests;
    root.pointerDown(5, 60, 1);
    EXPECT_GT(renderer.redrawRequests, redraws);
    root.syncContext();
    EXPECT_EQ(renderer.sceneVisuals()[0].color, VorlixPianoView::kActiveColor);
    root.pointerUp(5, 60, 0);
    root.syncContext();
    EXPECT_EQ(renderer.sceneVisuals()[0].color, VorlixPianoView::kWhiteColor);

    root.setContext(nullptr);
    EXPECT_TRUE(renderer.visuals.empty());
    for (const auto& k : view.whiteKeyList()) EXPECT_EQ(k.visual.id, 0u);
}
