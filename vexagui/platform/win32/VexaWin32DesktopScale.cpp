#include "VexaWin32DesktopScale.h"

#include "../VexaDpiScale.h"

#include <windows.h>

namespace vexagui::win32 {

float windowScale (void* window)
{
    // Looked up at run time: the module still loads on Windows versions without these.
    HMODULE user32 = GetModuleHandleW (L"user32.dll");
    using DpiForWindow = UINT (WINAPI*) (HWND);
    using DpiForSystem = UINT (WINAPI*) ();
    const auto forWindow = reinterpret_cast<DpiForWindow> (
        reinterpret_cast<void*> (GetProcAddress (user32, "GetDpiForWindow")));
    const auto forSystem = reinterpret_cast<DpiForSystem> (
        reinterpret_cast<void*> (GetProcAddress (user32, "GetDpiForSystem")));
    UINT dpi = 0;
    if (window != nullptr && forWindow != nullptr)
        dpi = forWindow (static_cast<HWND> (window));
    if (dpi == 0 && forSystem != nullptr)
        dpi = forSystem ();
    if (dpi == 0)
    {
        HDC screen = GetDC (nullptr);
        dpi = static_cast<UINT> (GetDeviceCaps (screen, LOGPIXELSX));
        ReleaseDC (nullptr, screen);
    }
    return scaleFromDpi (static_cast<double> (dpi));
}

} // namespace vexagui::win32
