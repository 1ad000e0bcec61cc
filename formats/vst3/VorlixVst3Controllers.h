// The MIDI controllers a VST 3 host hands over as parameters (IMidiMapping): which ones, under
// which hidden parameter IDs, and what their normalized values mean in MIDI terms.
#pragma once

#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "pluginterfaces/vst/vsttypes.h"

namespace VorlixVst3Controllers {

/** Hidden parameter IDs: this base plus the VST 3 controller number, clear of the 36 host
    parameters and of the editor's tags. */
constexpr Steinberg::Vst::ParamID kIdBase = 0x10000;

constexpr Steinberg::Vst::CtrlNumber kMapped[] = {
    Steinberg::Vst::kPitchBend,
    Steinberg::Vst::kCtrlSustainOnOff,
    Steinberg::Vst::kCtrlAllSoundsOff,
    Steinberg::Vst::kCtrlResetAllCtrlers,
    Steinberg::Vst::kCtrlAllNotesOff,
};
constexpr int kNumMapped = sizeof (kMapped) / sizeof (kMapped[0]);

constexpr bool isMapped (int controller)
{
    for (Steinberg::Vst::CtrlNumber c : kMapped)
        if (c == controller)
            return true;
    return false;
}

constexpr Steinberg::Vst::ParamID idOf (Steinberg::Vst::CtrlNumber controller)
{
    return kIdBase + static_cast<Steinberg::Vst::ParamID> (controller);
}

/** The controller number behind a hidden ID, or -1. */
constexpr int controllerOf (Steinberg::Vst::ParamID id)
{
    if (id < kIdBase || id >= kIdBase + Steinberg::Vst::kCountCtrlNumber)
        return -1;
    const int controller = static_cast<int> (id - kIdBase);
    return isMapped (controller) ? controller : -1;
}

/** The wheel from a normalized value: 0.5 is centre, 0 and 1 the ends. Hosts turn MIDI's 8192
    into 8192/16383, a hair above 0.5; anything within half a 14-bit step is exactly centre. */
inline float wheelPosition (double normalized)
{
    if (!(normalized == normalized))
        return 0.0f;
    const double offset = normalized - 0.5;
    if (offset < 0.5 / 16383.0 && offset > -0.5 / 16383.0)
        return 0.0f;
    const double p = offset * 2.0;
    return static_cast<float> (p < -1.0 ? -1.0 : (p > 1.0 ? 1.0 : p));
}

/** A 7-bit controller value from a normalized one (the host divided by 127). */
inline int controllerValue (double normalized)
{
    if (!(normalized > 0.0))
        return 0;
    const double v = normalized * 127.0 + 0.5;
    return v >= 127.0 ? 127 : static_cast<int> (v);
}

} // namespace VorlixVst3Controllers
