// How a parameter's normalized value looks on its LV2 control port: continuous parameters keep
// 0..1, switches are 0 or 1, selectors and the voice count are their position numbers, so hosts
// draw checkboxes and labelled menus. The plug-in, its UI, the bundle generator and the tests all
// convert through here.
#pragma once

#include "VorlixParamText.h"

#include <cmath>

namespace VorlixLv2PortValue {

inline bool isDiscrete (int id)
{
    return VorlixParamText::positionCount (id) > 0;
}

inline float toPort (int id, float normalized)
{
    if (!isDiscrete (id))
        return normalized > 0.0f ? (normalized < 1.0f ? normalized : 1.0f) : 0.0f;
    return static_cast<float> (VorlixParamText::positionOf (id, normalized));
}

/** NaN and values past the ends are clamped; a discrete port rounds to the nearest position. */
inline float fromPort (int id, float port)
{
    if (!(port == port)) // NaN
        port = 0.0f;
    if (!isDiscrete (id))
        return port > 0.0f ? (port < 1.0f ? port : 1.0f) : 0.0f;
    const float lowest = static_cast<float> (VorlixParamText::firstPosition (id));
    const float highest = lowest + static_cast<float> (VorlixParamText::positionCount (id) - 1);
    const float p = port > lowest ? (port < highest ? port : highest) : lowest;
    return VorlixParamText::valueOfPosition (id, static_cast<int> (std::lround (p)));
}

/** Whether port value `port` changes parameter `id` from `held` (normalized). A position port
    changes it only when it selects another position: a program's value between two positions
    stays as it is when a host or UI writes back the position that value selects. */
inline bool changes (int id, float port, float held)
{
    if (!isDiscrete (id))
        return fromPort (id, port) != held;
    return fromPort (id, port) != VorlixParamText::valueOfPosition (id, VorlixParamText::positionOf (id, held));
}

inline float minimum (int id)
{
    return isDiscrete (id) ? static_cast<float> (VorlixParamText::firstPosition (id)) : 0.0f;
}

inline float maximum (int id)
{
    return isDiscrete (id) ? minimum (id) + static_cast<float> (VorlixParamText::positionCount (id) - 1)
                           : 1.0f;
}

} // namespace VorlixLv2PortValue
