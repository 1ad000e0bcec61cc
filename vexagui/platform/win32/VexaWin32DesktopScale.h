// The scale Windows asks of a window: its DPI (GetDpiForWindow, per monitor) over the 96 dots per
// inch of an unscaled screen, rounded as on the other platforms.
#pragma once

namespace vexagui::win32 {

/** scaleFromDpi of the window's DPI (of the system's when `window` is null or the system lacks
    GetDpiForWindow, before Windows 10 1607); 1 when no DPI can be read. UI thread. */
float windowScale (void* window);

} // namespace vexagui::win32
