// The names under which LV2 hosts know the instrument: the plug-in, its UI, its presets and the
// messages between them. Stored in hosts' projects and preset lists, so they never change.
#pragma once

#define VORLIX_LV2_URI "urn:vorlix307:synth"
#define VORLIX_LV2_UI_URI VORLIX_LV2_URI ":ui"
/** Preset n is VORLIX_LV2_PRESET_PREFIX followed by n (0..60). */
#define VORLIX_LV2_PRESET_PREFIX VORLIX_LV2_URI ":preset:"

/** State key (atom:Chunk): the instrument's state content, program index and values. */
#define VORLIX_LV2_STATE VORLIX_LV2_URI "#state"
/** State key (atom:Int): a built-in program to load as a pick does (the presets carry it). */
#define VORLIX_LV2_PROGRAM VORLIX_LV2_URI "#program"
/** Message (atom:Object) on the control port: an editor command that is not a parameter (the
    program list, the detune copies, the oscillator mode), VORLIX_LV2_TAG_ID (atom:Int) with VORLIX_LV2_TAG_VALUE
    (atom:Float). */
#define VORLIX_LV2_TAG VORLIX_LV2_URI "#Tag"
#define VORLIX_LV2_TAG_ID VORLIX_LV2_URI "#tagId"
#define VORLIX_LV2_TAG_VALUE VORLIX_LV2_URI "#tagValue"
/** Message on the control port: apply the state content in VORLIX_LV2_STATE, as an imported
    preset document does. */
#define VORLIX_LV2_APPLY VORLIX_LV2_URI "#Apply"
/** Message on the notify port: the plug-in's values changed by something other than a port
    (a pick, an import, a restored state, a sync switch); carries VORLIX_LV2_STATE. */
#define VORLIX_LV2_VALUES VORLIX_LV2_URI "#Values"
/** Message on the control port: the UI asks for a VORLIX_LV2_VALUES message (it just opened). */
#define VORLIX_LV2_REQUEST VORLIX_LV2_URI "#Request"

/** The Tag message's number for the oscillator mode switch (1 precise, 0 classic): the editor's
    own command number, which the plug-in binary knows without the editor. */
inline constexpr int kPreciseOscillatorsTag = 911;

namespace VorlixLv2Ports {
// Ports 0..35 are the parameters, numbered by parameter ID.
inline constexpr unsigned kControl = 36; // atom input: MIDI and UI messages
inline constexpr unsigned kLeft = 37;
inline constexpr unsigned kRight = 38;
inline constexpr unsigned kNotify = 39;  // atom output: VORLIX_LV2_VALUES messages to the UI
inline constexpr unsigned kVoices = 40;  // control output: voices playing
inline constexpr unsigned kProgram = 41; // control output: the built-in program last loaded
inline constexpr unsigned kCount = 42;
} // namespace VorlixLv2Ports
