// The scale a desktop asks of applications on an X server: its Xft.dpi resource (the value
// GNOME, KDE and xrdb set for HiDPI screens) over the 96 dots per inch of an unscaled screen.
#pragma once

#include "../VexaDpiScale.h"

#include <optional>

namespace vexagui::x11 {

using ::vexagui::scaleFromDpi;

/** The Xft.dpi value in the text of an X resource database (the RESOURCE_MANAGER property), if it
    has one that reads as a number. */
std::optional<double> xftDpiFromResources (const char* resources);

/** scaleFromDpi of the X server's Xft.dpi, read on a connection of its own; 1 without a display or
    without the resource. UI thread. */
float desktopScale ();

} // namespace vexagui::x11
