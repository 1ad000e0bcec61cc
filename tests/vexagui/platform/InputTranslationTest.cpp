// Display-free parts of input translation: the key-code table, the 31-byte text cut, UTF-8, the
// callback-or-queue delivery, and the X11 code mappings.
#include <gtest/gtest.h> // before the X headers: their None macro clashes with gtest's

#include "vexagui/platform/VexaEventDelivery.h"
#include "vexagui/platform/VexaKeyTranslation.h"
#include "vexagui/platform/x11/VexaX11Input.h"

#include <X11/X.h>
#include <X11/keysym.h>

#include <cstring>
#include <string>
#include <vector>

using namespace vexagui;

TEST (KeyTranslation, KeyCodeTable)
{
    const struct { uint32_t unit; int32_t key; } cases[] = {
        {0x0008, 8},   {0x007F, 8},    {0xF702, 1000}, {0xF703, 1001},  {0xF729, 1002}, {0xF72B, 1003},
        {0xF728, 127}, {'A', 1004},    {'a', 1004},    {'B', 'b'},      {'Z', 'z'},     {'b', 'b'},
        {'[', '['},    {'@', '@'},     {0xF700, 63232}, {0xE9, 0xE9},   {0, 0},         {0x20AC, 0x20AC},
    };
    for (const auto& c : cases)
        EXPECT_EQ (keyCodeFromCharacter (c.unit), c.key) << std::hex << c.unit;
}

TEST (KeyTranslation, TextIsCutAtByte31AndTerminated)
{
    VexaWindowEvent e;
    std::memset (e.text, 'x', sizeof (e.text));
    const std::string forty (40, 'q');
    setEventText (e, forty);
    EXPECT_EQ (std::string (e.text), forty.substr (0, 31));

    // The cut may fall inside a character: 15 two-byte characters and a third of the 16th's bytes.
    const std::string accents = [] { std::string s; for (int i = 0; i < 16; ++i) s += "\xC3\xA9"; return s; }();
    setEventText (e, accents);
    EXPECT_EQ (std::strlen (e.text), 31u);
    EXPECT_EQ (static_cast<unsigned char> (e.text[30]), 0xC3u);

    setEventText (e, "");
    EXPECT_EQ (e.text[0], '\0');
}

TEST (KeyTranslation, Utf8Encoding)
{
    const struct { uint32_t cp; std::string bytes; } cases[] = {
        {'a', "a"}, {0xE9, "\xC3\xA9"}, {0x20AC, "\xE2\x82\xAC"}, {0x1F600, "\xF0\x9F\x98\x80"},
        {0xD800, ""}, {0x110000, ""},
    };
    for (const auto& c : cases)
    {
        char out[4];
        const size_t n = encodeUtf8 (c.cp, out);
        EXPECT_EQ (std::string (out, n), c.bytes) << std::hex << c.cp;
    }
}

TEST (KeyTranslation, ControlAndCommandSuppressText)
{
    EXPECT_FALSE (modifiersSuppressText (0));
    EXPECT_FALSE (modifiersSuppressText (VexaWindowEvent::kModShift | VexaWindowEvent::kModAlt));
    EXPECT_TRUE (modifiersSuppressText (VexaWindowEvent::kModControl));
    EXPECT_TRUE (modifiersSuppressText (VexaWindowEvent::kModCommand | VexaWindowEvent::kModShift));
}

TEST (EventDelivery, QueuesInOrderWithoutCallbackAndBypassesWithOne)
{
    VexaEventDelivery d;
    for (int i = 0; i < 3; ++i)
    {
        VexaWindowEvent e;
        e.type = VexaWindowEvent::kPointerMove;
        e.x = static_cast<float> (i);
        d.deliver (e);
    }
    VexaWindowEvent out;
    for (int i = 0; i < 3; ++i)
    {
        ASSERT_TRUE (d.poll (out));
        EXPECT_EQ (out.x, static_cast<float> (i));
    }
    EXPECT_FALSE (d.poll (out));

    std::vector<int32_t> seen;
    d.setCallback ([&] (const VexaWindowEvent& e) { seen.push_back (e.type); });
    VexaWindowEvent e;
    e.type = VexaWindowEvent::kScroll;
    d.deliver (e);
    EXPECT_EQ (seen, std::vector<int32_t> {VexaWindowEvent::kScroll});
    EXPECT_EQ (d.size (), 0u);

    d.setCallback ({}); // uninstalled: queueing again
    d.deliver (e);
    EXPECT_EQ (d.size (), 1u);
    d.clear ();
    EXPECT_FALSE (d.poll (out));
}

TEST (X11Input, ButtonsAndModifiers)
{
    const struct { unsigned x; int32_t button; uint32_t bit; } buttons[] = {
        {1, 1, 1}, {3, 2, 2}, {2, 3, 4}, {8, 4, 8}, {9, 5, 16}, {4, 0, 0}, {7, 0, 0}, {10, 0, 0}, {0, 0, 0},
    };
    for (const auto& b : buttons)
    {
        EXPECT_EQ (x11::buttonFromX (b.x), b.button) << b.x;
        EXPECT_EQ (x11::buttonBitFromX (b.x), b.bit) << b.x;
    }
    EXPECT_EQ (x11::heldButtonsFromState (Button1Mask | Button2Mask | Button3Mask | Button4Mask), 7u);
    EXPECT_EQ (x11::heldButtonsFromState (Button3Mask), 2u);
    EXPECT_EQ (x11::modifiersFromState (ShiftMask | ControlMask | Mod1Mask | Mod4Mask), 15u);
    EXPECT_EQ (x11::modifiersFromState (LockMask | Mod2Mask | Mod5Mask), 0u);
    EXPECT_EQ (x11::modifiersFromState (ShiftMask | Mod4Mask), 9u);
}

TEST (X11Input, KeysymsToCharactersAndKeyCodes)
{
    const struct { unsigned long ks; uint32_t text; int32_t key; } cases[] = {
        {XK_a, 'a', 1004},          {XK_A, 'A', 1004},          {XK_B, 'B', 'b'},
        {XK_BackSpace, 8, 8},       {XK_Delete, 0x7F, 127},     {XK_KP_Delete, 0, 127},
        {XK_Left, 0, 1000},         {XK_KP_Right, 0, 1001},     {XK_Home, 0, 1002},
        {XK_End, 0, 1003},          {XK_Up, 0, 63232},          {XK_F1, 0, 0xF704},
        {XK_eacute, 0xE9, 0xE9},    {XK_EuroSign, 0x20AC, 0x20AC}, {0x01000416, 0x416, 0x416},
        {XK_KP_7, '7', '7'},        {XK_Return, 13, 13},        {XK_exclam, '!', '!'},
        {0x0101F600, 0x1F600, 0xD83D}, {XK_Shift_L, 0, 0},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ (x11::unicodeFromKeysym (c.ks), c.text) << std::hex << c.ks;
        EXPECT_EQ (keyCodeFromCharacter (x11::keyCharacterFromKeysym (c.ks)), c.key) << std::hex << c.ks;
    }
    EXPECT_TRUE (x11::isModifierKeysym (XK_Shift_L));
    EXPECT_TRUE (x11::isModifierKeysym (XK_Super_R));
    EXPECT_TRUE (x11::isModifierKeysym (XK_ISO_Level3_Shift));
    EXPECT_FALSE (x11::isModifierKeysym (XK_a));
    EXPECT_FALSE (x11::isModifierKeysym (XK_Left));
}
