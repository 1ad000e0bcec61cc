#include "VexaWin32Input.h"

#include "../VexaKeyTranslation.h"

#include <windows.h>

namespace vexagui::win32 {

uint32_t modifiersFromKeys (bool shift, bool control, bool alt, bool windowsKey)
{
    return (shift ? VexaWindowEvent::kModShift : 0u) | (control ? VexaWindowEvent::kModControl : 0u)
           | (alt ? VexaWindowEvent::kModAlt : 0u) | (windowsKey ? VexaWindowEvent::kModCommand : 0u);
}

uint32_t heldButtonsFromWParam (uintptr_t wParam)
{
    uint32_t held = 0;
    if (wParam & MK_LBUTTON)
        held |= VexaWindowEvent::kButtonPrimary;
    if (wParam & MK_RBUTTON)
        held |= VexaWindowEvent::kButtonSecondary;
    if (wParam & MK_MBUTTON)
        held |= VexaWindowEvent::kButtonMiddle;
    if (wParam & MK_XBUTTON1)
        held |= 1u << 3;
    if (wParam & MK_XBUTTON2)
        held |= 1u << 4;
    return held;
}

bool buttonFromMessage (unsigned message, uintptr_t wParam, int32_t& type, int32_t& button)
{
    switch (message)
    {
        case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: type = VexaWindowEvent::kPointerDown; button = 1; return true;
        case WM_LBUTTONUP: type = VexaWindowEvent::kPointerUp; button = 1; return true;
        case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: type = VexaWindowEvent::kPointerDown; button = 2; return true;
        case WM_RBUTTONUP: type = VexaWindowEvent::kPointerUp; button = 2; return true;
        case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: type = VexaWindowEvent::kPointerDown; button = 3; return true;
        case WM_MBUTTONUP: type = VexaWindowEvent::kPointerUp; button = 3; return true;
        case WM_XBUTTONDOWN: case WM_XBUTTONDBLCLK: case WM_XBUTTONUP:
        {
            const unsigned which = HIWORD (wParam);
            if (which != XBUTTON1 && which != XBUTTON2)
                return false;
            type = message == WM_XBUTTONUP ? VexaWindowEvent::kPointerUp : VexaWindowEvent::kPointerDown;
            button = which == XBUTTON1 ? 4 : 5;
            return true;
        }
        default: return false;
    }
}

bool wheelDelta (unsigned message, uintptr_t wParam, float& scrollX, float& scrollY)
{
    const float notches = static_cast<float> (GET_WHEEL_DELTA_WPARAM (wParam)) / static_cast<float> (WHEEL_DELTA);
    scrollX = scrollY = 0.0f;
    if (message == WM_MOUSEWHEEL)
        scrollY = notches;
    else if (message == WM_MOUSEHWHEEL)
        scrollX = -notches;
    else
        return false;
    return true;
}

uint32_t keyCharacterFromVirtualKey (unsigned virtualKey)
{
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return virtualKey - 'A' + 'a';
    if (virtualKey >= '0' && virtualKey <= '9')
        return virtualKey;
    if (virtualKey >= VK_F1 && virtualKey <= VK_F24)
        return kCharF1 + (virtualKey - VK_F1);
    switch (virtualKey)
    {
        case VK_UP: return kCharUpArrow;
        case VK_DOWN: return kCharDownArrow;
        case VK_LEFT: return kCharLeftArrow;
        case VK_RIGHT: return kCharRightArrow;
        case VK_INSERT: return kCharInsert;
        case VK_DELETE: return kCharForwardDelete;
        case VK_HOME: return kCharHome;
        case VK_END: return kCharEnd;
        case VK_PRIOR: return kCharPageUp;
        case VK_NEXT: return kCharPageDown;
        case VK_BACK: return 8;
        case VK_TAB: return 9;
        case VK_RETURN: return 13;
        case VK_ESCAPE: return 27;
        case VK_SPACE: return ' ';
        default: return 0;
    }
}

bool isModifierVirtualKey (unsigned virtualKey)
{
    switch (virtualKey)
    {
        case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT:
        case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL:
        case VK_MENU: case VK_LMENU: case VK_RMENU:
        case VK_LWIN: case VK_RWIN:
        case VK_CAPITAL: case VK_NUMLOCK: case VK_SCROLL:
            return true;
        default: return false;
    }
}

uint32_t Utf16Joiner::push (uint16_t unit)
{
    if (unit >= 0xD800 && unit <= 0xDBFF)
    {
        pendingHigh = unit;
        return 0;
    }
    if (unit >= 0xDC00 && unit <= 0xDFFF)
    {
        const uint16_t high = pendingHigh;
        pendingHigh = 0;
        if (high == 0)
            return 0;
        return 0x10000u + ((static_cast<uint32_t> (high) - 0xD800u) << 10) + (unit - 0xDC00u);
    }
    pendingHigh = 0;
    return unit;
}

} // namespace vexagui::win32
