// The editor's control positions and the captions the panel prints next to them.
#include "layout.h"

namespace artwork {

const std::vector<ImageInfo>& editorImages() {
    static const std::vector<ImageInfo> images = {
        {128, 565, 260, 1}, {131, 41, 2583, 63}, {132, 41, 2583, 63}, {133, 41, 2583, 63},
        {134, 41, 2583, 63}, {137, 41, 2583, 63}, {139, 41, 2583, 63}, {141, 30, 26, 2},
        {142, 30, 26, 2},   {143, 565, 260, 1},  {148, 30, 39, 3},    {149, 30, 39, 3},
        {150, 8, 16, 2},    {151, 8, 16, 2},     {152, 8, 16, 2},     {153, 8, 16, 2},
        {154, 41, 2583, 63}, {155, 145, 13, 1},  {159, 8, 16, 2},     {160, 8, 16, 2},
        {162, 8, 16, 2},
    };
    return images;
}

const ImageInfo* imageInfo(int id) {
    for (const ImageInfo& i : editorImages())
        if (i.id == id) return &i;
    return nullptr;
}

namespace {

ControlPlace knob(const char* what, int image, int x, int y, std::string caption, Caption side,
                  int dx = 0, int dy = 0) {
    return {what, image, x, y, 41, 41, 63, std::move(caption), side, dx, dy};
}

ControlPlace multi(const char* what, int image, int states, int x, int y, std::string caption,
                   Caption side, int dx = 0, int dy = 0) {
    const ImageInfo* i = imageInfo(image);
    return {what, image, x, y, i->width, i->height / states, states, std::move(caption), side, dx, dy};
}

ControlPlace readout(const char* what, int x, int y, std::string caption, Caption side,
                     int dx = 0, int dy = 0) {
    return {what, 0, x, y, 25, 14, 1, std::move(caption), side, dx, dy};
}

}  // namespace

const std::vector<ControlPlace>& panelControls() {
    using C = Caption;
    static const std::vector<ControlPlace> controls = {
        knob("kUnisonDetune", 134, 61, 48, "SPREAD", C::Left),
        multi("kUseUnisonNice", 141, 2, 107, 51, "NICE", C::Right),
        multi("kUseUnison", 148, 3, 107, 78, "MODE", C::Right),
        knob("kSlideTime", 133, 62, 126, "SLIDE", C::Above),
        knob("kMaxPoly", 131, 101, 126, "POLY", C::Above),
        multi("kUseLegato", 142, 2, 68, 183, "LEGATO", C::Left),
        knob("kOsc1WaveType", 139, 173, 47, "OSC 1", C::Above),
        knob("kOsc2WaveType", 137, 222, 47, "OSC 2", C::Above),
        multi("kUseOscSync1", 150, 2, 174, 152, "SYNC", C::Right),
        multi("kUseOscSync2", 150, 2, 254, 152, "SYNC", C::Left),
        multi("kSyncOnTrigger", 151, 2, 214, 70, "RESET", C::Below, 2, 10),
        knob("kOsc1Detune", 131, 173, 103, "TUNE", C::Below, -2, 0),
        knob("kOsc2Detune", 131, 222, 103, "TUNE", C::Below, 2, 0),
        multi("kOsc1Invert", 141, 2, 179, 167, "INVERT", C::Below),
        multi("kOsc2Invert", 142, 2, 228, 167, "INVERT", C::Below),
        knob("kOscMix", 132, 222, 194, "MIX", C::Below),
        knob("kSubOscLevel", 131, 173, 194, "SUB", C::Below),
        multi("kSubOscOctave", 162, 2, 204, 234, "OCT", C::Below),
        multi("kSyncNow1", 153, 2, 204, 137, "COPY", C::Below, 10, -1),
        multi("kSyncNow2", 152, 2, 224, 137, "", C::None),
        {"kPresetListBox", 155, 25, 18, 145, 13, 1, "PROGRAM", C::AboveLeft},
        multi("kImportPreset", 160, 2, 173, 16, "LOAD", C::Right),
        multi("kExportPreset", 159, 2, 173, 24, "SAVE", C::Right),
        multi("oscillator mode", 141, 2, 214, 18, "PRECISE", C::AboveLeft),
        knob("kOsc1Attack", 133, 290, 48, "ATTACK", C::Above),
        knob("kOsc1Decay", 131, 329, 48, "DECAY", C::Above),
        knob("kOsc1Sustain", 131, 368, 48, "SUSTAIN", C::Above, -2, 0),
        knob("kOsc1Release", 131, 407, 48, "RELEASE", C::Above, 2, 0),
        knob("kOutputLevel", 154, 482, 48, "VOLUME", C::Above),
        knob("kFilt1Cutoff", 131, 290, 191, "CUTOFF", C::Above),
        knob("kRes", 131, 329, 191, "RESO", C::Above),
        multi("kKeyboardTracking", 148, 3, 374, 211, "KEY", C::Above),
        knob("kFilt2Cutoff", 131, 407, 211, "MIX", C::Above),
        knob("kGain", 131, 446, 211, "DRIVE", C::Above),
        multi("kDistortionType", 148, 3, 491, 211, "TYPE", C::Above),
        knob("kFilt1Attack", 133, 290, 128, "ATTACK", C::Above),
        knob("kFilt1Decay", 131, 329, 128, "DECAY", C::Above),
        knob("kFilt1Sustain", 131, 368, 128, "SUSTAIN", C::Above, -2, 0),
        knob("kFilt1Release", 131, 407, 128, "RELEASE", C::Above, 2, 0),
        knob("kFilterEnvAmount", 131, 483, 128, "AMOUNT", C::Above),
        multi("kUseFilterEnvVelocity", 149, 3, 451, 148, "VELO", C::Above),
        multi("kUseExp", 149, 3, 342, 104, "CURVE", C::Left),
        readout("osc1 shape", 173, 87, "", C::None),
        readout("osc2 shape", 237, 87, "", C::None),
        readout("active voices", 109, 177, "PLAYING", C::Above),
        readout("polyphony", 109, 137, "", C::None),
    };
    return controls;
}

}  // namespace artwork
