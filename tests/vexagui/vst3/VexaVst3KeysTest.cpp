// Host key translation: SDK modifier bits, virtual key codes and UTF-16 to UTF-8.
#include "vexagui/vst3/VexaVst3Keys.h"

#include <gtest/gtest.h>

#include <string>

using namespace vexagui;

TEST(VexaVst3Keys, ModifierBitsMoveToTheToolkitsPlaces) {
    struct Case { std::int16_t sdk; std::uint32_t toolkit; };
    const Case cases[] = {{0, 0}, {1, 1}, {2, 4}, {4, 8}, {8, 2}, {15, 15}, {1 | 4, 9}, {static_cast<std::int16_t>(0x7FF0), 0}};
    for (const Case& c : cases) EXPECT_EQ(translateVst3Modifiers(c.sdk), c.toolkit) << c.sdk;
}

TEST(VexaVst3Keys, OnlyEditingKeysHaveToolkitCodes) {
    struct Case { std::int16_t vkey; std::int32_t code; };
    const Case cases[] = {{1, 8},  {9, 1003}, {10, 1002}, {11, 1000}, {13, 1001}, {22, 127},
                          {0, 0},  {2, 0},    {4, 0},     {6, 0},     {7, 0},     {12, 0}, {14, 0}, {-1, 0}};
    for (const Case& c : cases) EXPECT_EQ(translateVst3VirtualKey(c.vkey), c.code) << c.vkey;
}

TEST(VexaVst3Keys, Utf8OfOneUnit) {
    struct Case { char16_t unit; std::string bytes; };
    const Case cases[] = {{u'a', "a"},
                          {0x7F, "\x7F"},
                          {0x80, "\xC2\x80"},
                          {0xE9, "\xC3\xA9"},
                          {0x7FF, "\xDF\xBF"},
                          {0x800, "\xE0\xA0\x80"},
                          {0x20AC, "\xE2\x82\xAC"},
                          {0xFFFF, "\xEF\xBF\xBF"}};
    for (const Case& c : cases) {
        char out[4] = {1, 1, 1, 1};
        const int n = encodeUtf16UnitAsUtf8(c.unit, out);
        EXPECT_EQ(std::string(out, static_cast<std::size_t>(n)), c.bytes);
        EXPECT_EQ(out[n], '\0');
    }
}
