// The content scale a desktop's DPI asks for, the same rounding on every platform.
#pragma once

namespace vexagui {

/** dpi / 96 rounded to the nearest of 1, 1.5 and 2 (halfway rounds up); 1 for a dpi that is not a
    positive finite number. The editor's artwork exists at 1x and 2x: larger scales gain nothing. */
float scaleFromDpi (double dpi);

/** A scale as a host's factor is taken: clamped to 1..3; 1 for a factor that is not a positive
    number (NaN too). */
float clampContentScale (float factor);

} // namespace vexagui
