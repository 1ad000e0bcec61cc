// The artwork against the editor's layout: filmstrip geometry, knobs that sit seamlessly on
// the panel, frames that change with the value, and dark wells under the read-outs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "PackedPixels.h"
#include "vexagui/resources/EmbeddedResources.h"

using namespace vexagui;
using vorlix_test::packedPixels;

namespace {

const PackedResource& image(int id) {
    const std::string path = "vorlix/resources/bmp00" + std::to_string(id) + ".png";
    const PackedResource* r = kResourcePack.find(path.c_str());
    EXPECT_NE(r, nullptr) << path;
    static const PackedResource empty{};
    return r ? *r : empty;
}

uint32_t pixel(const PackedResource& r, int x, int y) {
    uint32_t v;
    std::memcpy(&v, packedPixels(r) + (static_cast<size_t>(y) * r.width + x) * 4, 4);
    return v;
}

struct Place {
    int image, x, y;
};

// Knob positions of the editor (no channel row).
const Place kKnobs[] = {
    {134, 61, 48},   {133, 62, 126},  {131, 101, 126}, {139, 173, 47},  {137, 222, 47},
    {131, 173, 103}, {131, 222, 103}, {132, 222, 194}, {131, 173, 194}, {133, 290, 48},
    {131, 329, 48},  {131, 368, 48},  {131, 407, 48},  {154, 482, 48},  {131, 290, 191},
    {131, 329, 191}, {131, 407, 211}, {131, 446, 211}, {133, 290, 128}, {131, 329, 128},
    {131, 368, 128}, {131, 407, 128}, {131, 483, 128},
};

bool sameFrame(const PackedResource& r, int w, int h, int a, int b) {
    const size_t bytes = static_cast<size_t>(w) * h * 4;
    return std::memcmp(packedPixels(r) + bytes * a, packedPixels(r) + bytes * b, bytes) == 0;
}

}  // namespace

TEST(ArtworkFit, StripsHoldTheEditorsFrameCounts) {
    const struct {
        int id, frameWidth, frameHeight, frames;
    } strips[] = {
        {131, 41, 41, 63}, {132, 41, 41, 63}, {133, 41, 41, 63}, {134, 41, 41, 63},
        {137, 41, 41, 63}, {139, 41, 41, 63}, {154, 41, 41, 63}, {141, 30, 13, 2},
        {142, 30, 13, 2},  {148, 30, 13, 3},  {149, 30, 13, 3},  {150, 8, 8, 2},
        {151, 8, 8, 2},    {152, 8, 8, 2},    {153, 8, 8, 2},    {159, 8, 8, 2},
        {160, 8, 8, 2},    {162, 8, 8, 2},
    };
    for (const auto& s : strips) {
        SCOPED_TRACE(s.id);
        const PackedResource& r = image(s.id);
        ASSERT_NE(packedPixels(r), nullptr);
        EXPECT_EQ(r.width, s.frameWidth);
        EXPECT_EQ(r.height, s.frameHeight * s.frames);
        // Every step shows: no two neighbouring frames are the same picture, and a switch's
        // states all differ.
        for (int f = 1; f < s.frames; ++f)
            EXPECT_FALSE(sameFrame(r, s.frameWidth, s.frameHeight, f - 1, f)) << "frame " << f;
        if (s.frames == 3) {
            EXPECT_FALSE(sameFrame(r, s.frameWidth, s.frameHeight, 0, 2));
        }
    }
}

TEST(ArtworkFit, KnobSquaresBlendIntoThePanel) {
    // Neighbouring knobs overlap by two columns and the images are opaque squares, so the
    // outer two pixels of every frame must be the plain plate colour the panel has there.
    const PackedResource& panel = image(128);
    ASSERT_NE(packedPixels(panel), nullptr);
    for (const Place& k : kKnobs) {
        SCOPED_TRACE("knob " + std::to_string(k.image) + " at " + std::to_string(k.x) + "," +
                     std::to_string(k.y));
        const PackedResource& strip = image(k.image);
        ASSERT_NE(packedPixels(strip), nullptr);
        const uint32_t plate = pixel(strip, 0, 0);
        int bad = 0;
        for (int f = 0; f < 63; ++f)
            for (int y = 0; y < 41; ++y)
                for (int x = 0; x < 41; ++x) {
                    const bool border = x < 2 || x > 38 || y < 2 || y > 38;
                    if (border && pixel(strip, x, f * 41 + y) != plate) {
                        ++bad;
                    }
                }
        EXPECT_EQ(bad, 0) << "border pixels off the plate colour";
        // The panel under the knob's left and right edges carries the same colour.
        EXPECT_EQ(pixel(panel, k.x + 1, k.y + 20), plate);
        EXPECT_EQ(pixel(panel, k.x + 39, k.y + 20), plate);
    }
}

TEST(ArtworkFit, ReadOutsSitOnDarkWells) {
    // Shape names and voice count: the panel's wells in the popup colour 0x120A02.
    const PackedResource& panel = image(128);
    ASSERT_NE(packedPixels(panel), nullptr);
    // Shape names up to 30 pixels wide start at the read-out's left edge.
    const struct {
        int x, y, textWidth;
    } wells[] = {{173, 87, 30}, {237, 87, 30}, {109, 177, 25}};
    for (const auto& w : wells) {
        SCOPED_TRACE(std::to_string(w.x) + "," + std::to_string(w.y));
        for (int y = 1; y < 14; ++y)
            for (int x = 0; x < w.textWidth; ++x) {
                const uint8_t* p = packedPixels(panel) + (static_cast<size_t>(w.y + y) * 565 + w.x + x) * 4;
                ASSERT_EQ(p[0] << 16 | p[1] << 8 | p[2], 0x120A02) << x << "," << y;
            }
    }
    // The polyphony read-out sits on the standard knob's cap: dark in every frame.
    const PackedResource& knob = image(131);
    for (int f = 0; f < 63; f += 31) {
        const uint8_t* p = packedPixels(knob) + (static_cast<size_t>(f * 41 + 20) * 41 + 20) * 4;
        EXPECT_LT(p[0] + p[1] + p[2], 3 * 48) << "frame " << f;
    }
}
