// The instrument's colours. The dark browns and the orange follow the fixed colours of the
// toolkit (popup 0x120A02, selection 0x44260A, caret 0xD7872C, highlight 0xD67818) so the
// bitmaps and the solid rectangles drawn at run time belong to one design.
#pragma once

#include "canvas.h"

namespace artwork::colors {

inline const Rgba background = hex(0x16110D);
inline const Rgba plate = hex(0x2A2119);      // every control sits on this flat colour
inline const Rgba plateHi = hex(0x43352A);
inline const Rgba plateLo = hex(0x0C0805);
inline const Rgba well = hex(0x120A02);       // read-out wells, the preset box, the popup
inline const Rgba selection = hex(0x44260A);
inline const Rgba caret = hex(0xD7872C);
inline const Rgba accent = hex(0xD67818);     // lit values, keyboard highlight
inline const Rgba gold = hex(0xE8B04A);
inline const Rgba cream = hex(0xECE6D6);
inline const Rgba label = hex(0xCFC2A8);
inline const Rgba dim = hex(0x7C6C5A);
inline const Rgba groove = hex(0x100B07);
inline const Rgba ledOff = hex(0x3B2612);

}  // namespace artwork::colors
