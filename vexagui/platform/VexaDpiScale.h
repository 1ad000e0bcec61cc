// The content scale a desktop's DPI asks for, the same rounding on every platform.
#pragma once

namespace vexagui {

/** dpi / 96 rounded to the nearest of 1, 1.5 and 2 (halfway rounds up); 1 for a dpi that is not a
    positive finite number. The editor's artwork exists at 1x and 2x: larger scales gain nothing. */
float scaleFromDpi (double dpi);

} // namespace vexagui
