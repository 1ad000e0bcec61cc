// Spelled exactly as the enumerators in VorlixParamID.h: the host sees them (without the "k").
#include "VorlixParamNames.h"

const char* const cVorlixParamNames[cVorlixParamNameCount] = {
    "kOsc1WaveType",  "kOsc1Detune",      "kOsc2WaveType",   "kOsc2Detune",
    "kOsc1Attack",    "kOsc1Decay",       "kOsc1Sustain",    "kOsc1Release",
    "kFilt1Cutoff",   "kRes",             "kFilt2Cutoff",    "kFilterEnvAmount",
    "kFilt1Attack",   "kFilt1Decay",      "kFilt1Sustain",   "kFilt1Release",
    "kGain",          "kOscMix",          "kUnisonDetune",   "kUseFilterEnvVelocity",
    "kOsc1Invert",    "kOsc2Invert",      "kUseUnison",      "kUseExp",
    "kMaxPoly",       "kUseLegato",       "kSlideTime",      "kUseUnisonNice",
    "kSyncOnTrigger", "kUseOscSync1",     "kUseOscSync2",    "kKeyboardTracking",
    "kOutputLevel",   "kDistortionType",  "kSubOscLevel",    "kSubOscOctave",
    "kNumParams",     "kPan",             "kSyncNow1",       "kSyncNow2",
    "kPresetListBox",
};
