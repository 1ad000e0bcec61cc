// X11 input codes -> window-event codes. Pure functions: tested without a display.
#include "VexaX11Input.h"

#include "../VexaKeyTranslation.h"
#include "../VexaWindowEvent.h"

#include <X11/X.h>
#include <X11/keysym.h>

namespace vexagui::x11 {

uint32_t modifiersFromState (unsigned int state)
{
    uint32_t m = 0;
    if (state & ShiftMask) m |= VexaWindowEvent::kModShift;
    if (state & ControlMask) m |= VexaWindowEvent::kModControl;
    if (state & Mod1Mask) m |= VexaWindowEvent::kModAlt;
    if (state & Mod4Mask) m |= VexaWindowEvent::kModCommand;
    return m;
}

uint32_t heldButtonsFromState (unsigned int state)
{
    uint32_t b = 0;
    if (state & Button1Mask) b |= VexaWindowEvent::kButtonPrimary;
    if (state & Button3Mask) b |= VexaWindowEvent::kButtonSecondary;
    if (state & Button2Mask) b |= VexaWindowEvent::kButtonMiddle;
    return b;
}

int32_t buttonFromX (unsigned int xButton)
{
    switch (xButton)
    {
        case 1: return 1;
        case 3: return 2;
        case 2: return 3;
        case 8: return 4;
        case 9: return 5;
        default: return 0;
    }
}

uint32_t buttonBitFromX (unsigned int xButton)
{
    const int32_t b = buttonFromX (xButton);
    return b > 0 ? (1u << (b - 1)) : 0u;
}

void wheelDelta (unsigned int xButton, float& scrollX, float& scrollY)
{
    scrollX = 0.0f;
    scrollY = 0.0f;
    switch (xButton)
    {
        case 4: scrollY = 1.0f; break;
        case 5: scrollY = -1.0f; break;
        case 6: scrollX = 1.0f; break;
        case 7: scrollX = -1.0f; break;
        default: break;
    }
}

uint32_t unicodeFromKeysym (unsigned long ks)
{
    // Latin-1 key symbols are their own code points.
    if ((ks >= 0x20 && ks <= 0x7E) || (ks >= 0xA0 && ks <= 0xFF))
        return static_cast<uint32_t> (ks);
    // Directly encoded Unicode key symbols: 0x01000000 + code point.
    if (ks >= 0x01000100 && ks <= 0x0110FFFF)
        return static_cast<uint32_t> (ks - 0x01000000);
    if (ks >= XK_KP_0 && ks <= XK_KP_9)
        return static_cast<uint32_t> ('0' + (ks - XK_KP_0));
    switch (ks)
    {
        case XK_BackSpace: return 0x08;
        case XK_Tab:
        case XK_KP_Tab:
        case XK_ISO_Left_Tab: return 0x09;
        case XK_Linefeed: return 0x0A;
        case XK_Return:
        case XK_KP_Enter: return 0x0D;
        case XK_Escape: return 0x1B;
        case XK_Delete: return 0x7F;
        case XK_KP_Space: return ' ';
        case XK_KP_Equal: return '=';
        case XK_KP_Multiply: return '*';
        case XK_KP_Add: return '+';
        case XK_KP_Separator: return ',';
        case XK_KP_Subtract: return '-';
        case XK_KP_Decimal: return '.';
        case XK_KP_Divide: return '/';
        case XK_EuroSign: return 0x20AC;
        default: return 0;
    }
}

uint32_t keyCharacterFromKeysym (unsigned long ks)
{
    if (ks >= XK_F1 && ks <= XK_F35)
        return kCharF1 + static_cast<uint32_t> (ks - XK_F1);
    switch (ks)
    {
        case XK_Left:
        case XK_KP_Left: return kCharLeftArrow;
        case XK_Right:
        case XK_KP_Right: return kCharRightArrow;
        case XK_Up:
        case XK_KP_Up: return kCharUpArrow;
        case XK_Down:
        case XK_KP_Down: return kCharDownArrow;
        case XK_Home:
        case XK_KP_Home: return kCharHome;
        case XK_End:
        case XK_KP_End: return kCharEnd;
        case XK_Page_Up:
        case XK_KP_Page_Up: return kCharPageUp;
        case XK_Page_Down:
        case XK_KP_Page_Down: return kCharPageDown;
        case XK_Insert:
        case XK_KP_Insert: return kCharInsert;
        case XK_Delete:
        case XK_KP_Delete: return kCharForwardDelete;
        default: break;
    }
    const uint32_t cp = unicodeFromKeysym (ks);
    // Characters beyond the basic plane start with their high surrogate, as UTF-16 text would.
    if (cp > 0xFFFF)
        return 0xD800 + ((cp - 0x10000) >> 10);
    return cp;
}

bool isModifierKeysym (unsigned long ks)
{
    return (ks >= XK_Shift_L && ks <= XK_Hyper_R) || (ks >= XK_ISO_Lock && ks <= XK_ISO_Level5_Lock)
           || ks == XK_Mode_switch || ks == XK_Num_Lock;
}

} // namespace vexagui::x11
