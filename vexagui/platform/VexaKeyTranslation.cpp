// Key-code table and text-input cut shared by every platform's native view.
#include "VexaKeyTranslation.h"

#include <algorithm>
#include <cstring>

namespace vexagui {

int32_t keyCodeFromCharacter (uint32_t unit)
{
    switch (unit)
    {
        case 0x0008:
        case 0x007F: return kKeyBackspace;
        case kCharLeftArrow: return kKeyLeft;
        case kCharRightArrow: return kKeyRight;
        case kCharHome: return kKeyHome;
        case kCharEnd: return kKeyEnd;
        case kCharForwardDelete: return kKeyDelete;
        case 'A':
        case 'a': return kKeySelectAll;
        default: break;
    }
    if (unit >= 'B' && unit <= 'Z')
        return static_cast<int32_t> (unit + 32);
    // Units are UTF-16 code units, so this never overflows int32.
    return static_cast<int32_t> (unit & 0xFFFFu);
}

void setEventText (VexaWindowEvent& event, std::string_view utf8)
{
    const size_t n = std::min (utf8.size (), static_cast<size_t> (VexaWindowEvent::kTextCapacity - 1));
    std::memset (event.text, 0, sizeof (event.text));
    if (n > 0)
        std::memcpy (event.text, utf8.data (), n);
}

size_t encodeUtf8 (uint32_t cp, char out[4])
{
    if (cp < 0x80)
    {
        out[0] = static_cast<char> (cp);
        return 1;
    }
    if (cp < 0x800)
    {
        out[0] = static_cast<char> (0xC0 | (cp >> 6));
        out[1] = static_cast<char> (0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp >= 0xD800 && cp <= 0xDFFF)
        return 0;
    if (cp < 0x10000)
    {
        out[0] = static_cast<char> (0xE0 | (cp >> 12));
        out[1] = static_cast<char> (0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<char> (0x80 | (cp & 0x3F));
        return 3;
    }
    if (cp <= 0x10FFFF)
    {
        out[0] = static_cast<char> (0xF0 | (cp >> 18));
        out[1] = static_cast<char> (0x80 | ((cp >> 12) & 0x3F));
        out[2] = static_cast<char> (0x80 | ((cp >> 6) & 0x3F));
        out[3] = static_cast<char> (0x80 | (cp & 0x3F));
        return 4;
    }
    return 0;
}

} // namespace vexagui
