// Identity of every value the synthesizer exposes. The numbers are stored in states, preset
// documents and editor tags, so they never change; the engine uses them as parameter indices.
#pragma once

enum VorlixParamID
{
    kOsc1WaveType = 0,
    kOsc1Detune = 1,
    kOsc2WaveType = 2,
    kOsc2Detune = 3,
    kOsc1Attack = 4,
    kOsc1Decay = 5,
    kOsc1Sustain = 6,
    kOsc1Release = 7,
    kFilt1Cutoff = 8,
    kRes = 9,
    kFilt2Cutoff = 10,
    kFilterEnvAmount = 11,
    kFilt1Attack = 12,
    kFilt1Decay = 13,
    kFilt1Sustain = 14,
    kFilt1Release = 15,
    kGain = 16,
    kOscMix = 17,
    kUnisonDetune = 18,
    kUseFilterEnvVelocity = 19,
    kOsc1Invert = 20,
    kOsc2Invert = 21,
    kUseUnison = 22,
    kUseExp = 23,
    kMaxPoly = 24,
    kUseLegato = 25,
    kSlideTime = 26,
    kUseUnisonNice = 27,
    kSyncOnTrigger = 28,
    kUseOscSync1 = 29,
    kUseOscSync2 = 30,
    kKeyboardTracking = 31,
    kOutputLevel = 32,
    kDistortionType = 33,
    kSubOscLevel = 34,
    kSubOscOctave = 35,
    kNumParams = 36, // count marker: IDs below it are host parameters
    kPan = 37,       // engine-only index, never a host parameter
    kSyncNow1 = 38,  // editor command: oscillator 2's detune onto oscillator 1
    kSyncNow2 = 39,  // editor command: oscillator 1's detune onto oscillator 2
    kPresetListBox = 40
};
