// Win32 message values to window events: buttons, wheel, keys and UTF-16 text.
#include "vexagui/platform/VexaKeyTranslation.h"
#include "vexagui/platform/win32/VexaWin32Input.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace vexagui;
using namespace vexagui::win32;

TEST (Win32Input, ButtonMessagesNameTheButtonAndDirection)
{
    struct Case
    {
        unsigned message;
        uintptr_t wParam;
        bool known;
        int32_t type, button;
    };
    const Case cases[] = {
        {WM_LBUTTONDOWN, MK_LBUTTON, true, VexaWindowEvent::kPointerDown, 1},
        {WM_LBUTTONDBLCLK, MK_LBUTTON, true, VexaWindowEvent::kPointerDown, 1}, // a second click is a press too
        {WM_LBUTTONUP, 0, true, VexaWindowEvent::kPointerUp, 1},
        {WM_RBUTTONDOWN, MK_RBUTTON, true, VexaWindowEvent::kPointerDown, 2},
        {WM_RBUTTONUP, 0, true, VexaWindowEvent::kPointerUp, 2},
        {WM_MBUTTONDOWN, MK_MBUTTON, true, VexaWindowEvent::kPointerDown, 3},
        {WM_MBUTTONUP, 0, true, VexaWindowEvent::kPointerUp, 3},
        {WM_XBUTTONDOWN, MAKEWPARAM (MK_XBUTTON1, XBUTTON1), true, VexaWindowEvent::kPointerDown, 4},
        {WM_XBUTTONUP, MAKEWPARAM (0, XBUTTON2), true, VexaWindowEvent::kPointerUp, 5},
        {WM_XBUTTONDOWN, MAKEWPARAM (0, 7), false, 0, 0},
        {WM_MOUSEMOVE, MK_LBUTTON, false, 0, 0},
    };
    for (const Case& c : cases)
    {
        int32_t type = 0, button = 0;
        EXPECT_EQ (buttonFromMessage (c.message, c.wParam, type, button), c.known) << "message " << c.message;
        if (c.known)
        {
            EXPECT_EQ (type, c.type) << "message " << c.message;
            EXPECT_EQ (button, c.button) << "message " << c.message;
        }
    }
}

TEST (Win32Input, HeldButtonsAndModifiers)
{
    EXPECT_EQ (heldButtonsFromWParam (0), 0u);
    EXPECT_EQ (heldButtonsFromWParam (MK_LBUTTON | MK_SHIFT | MK_CONTROL), VexaWindowEvent::kButtonPrimary);
    EXPECT_EQ (heldButtonsFromWParam (MK_RBUTTON | MK_MBUTTON),
               VexaWindowEvent::kButtonSecondary | VexaWindowEvent::kButtonMiddle);
    EXPECT_EQ (heldButtonsFromWParam (MK_XBUTTON1 | MK_XBUTTON2), 0x18u);
    EXPECT_EQ (modifiersFromKeys (true, false, true, false), VexaWindowEvent::kModShift | VexaWindowEvent::kModAlt);
    EXPECT_EQ (modifiersFromKeys (false, true, false, true), VexaWindowEvent::kModControl | VexaWindowEvent::kModCommand);
}

TEST (Win32Input, WheelNotchesScrollLikeTheOtherPlatforms)
{
    struct Case
    {
        unsigned message;
        short delta;
        float x, y;
    };
    const Case cases[] = {
        {WM_MOUSEWHEEL, WHEEL_DELTA, 0.0f, 1.0f},       // away from the user: up
        {WM_MOUSEWHEEL, -2 * WHEEL_DELTA, 0.0f, -2.0f}, // two notches down
        {WM_MOUSEWHEEL, WHEEL_DELTA / 4, 0.0f, 0.25f},  // a fine-grained wheel's part notch
        {WM_MOUSEHWHEEL, WHEEL_DELTA, -1.0f, 0.0f},     // right
    };
    for (const Case& c : cases)
    {
        float x = 9.0f, y = 9.0f;
        ASSERT_TRUE (wheelDelta (c.message, MAKEWPARAM (0, c.delta), x, y));
        EXPECT_FLOAT_EQ (x, c.x);
        EXPECT_FLOAT_EQ (y, c.y);
    }
    float x = 0.0f, y = 0.0f;
    EXPECT_FALSE (wheelDelta (WM_MOUSEMOVE, 0, x, y));
}

TEST (Win32Input, VirtualKeysGiveTheToolkitsKeyCodes)
{
    struct Case
    {
        unsigned virtualKey;
        int32_t key;
    };
    const Case cases[] = {
        {VK_LEFT, keyCodeFromCharacter (kCharLeftArrow)},
        {VK_RIGHT, keyCodeFromCharacter (kCharRightArrow)},
        {VK_UP, keyCodeFromCharacter (kCharUpArrow)},
        {VK_DOWN, keyCodeFromCharacter (kCharDownArrow)},
        {VK_HOME, keyCodeFromCharacter (kCharHome)},
        {VK_END, keyCodeFromCharacter (kCharEnd)},
        {VK_DELETE, kKeyDelete},
        {VK_BACK, kKeyBackspace},
        {VK_RETURN, 13},
        {VK_ESCAPE, 27},
        {'A', kKeySelectAll},
        {'B', 'b'},
        {'7', '7'},
        {VK_F1, keyCodeFromCharacter (kCharF1)},
        {VK_OEM_1, 0}, // layout-dependent: arrives as text
    };
    for (const Case& c : cases)
        EXPECT_EQ (keyCodeFromCharacter (keyCharacterFromVirtualKey (c.virtualKey)), c.key) << "vk " << c.virtualKey;
    for (unsigned modifier : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LWIN, VK_CAPITAL})
        EXPECT_TRUE (isModifierVirtualKey (modifier));
    EXPECT_FALSE (isModifierVirtualKey ('A'));
}

TEST (Win32Input, SurrogatePairsJoinAndStrayHalvesAreDropped)
{
    Utf16Joiner joiner;
    EXPECT_EQ (joiner.push (0x00E9), 0xE9u);
    EXPECT_EQ (joiner.push (0xD83C), 0u); // waits for the low half
    EXPECT_EQ (joiner.push (0xDFB9), 0x1F3B9u);
    EXPECT_EQ (joiner.push (0xDFB9), 0u); // low half alone
    EXPECT_EQ (joiner.push (0xD83C), 0u);
    EXPECT_EQ (joiner.push ('x'), static_cast<uint32_t> ('x')); // high half followed by a plain unit
    EXPECT_EQ (joiner.push (0xDFB9), 0u);
}
