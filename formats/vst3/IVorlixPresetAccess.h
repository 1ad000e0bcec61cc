// Vorlix307's private extension of its component, reached by queryInterface: program and preset
// access for the project's own tools (vorlix-render). Hosts never ask for it. Only C types cross
// the module boundary, so a tool built with another standard library can still use it.
#pragma once

#include "pluginterfaces/base/funknown.h"

namespace Vorlix {

class IVorlixPresetAccess : public Steinberg::FUnknown
{
public:
    /** Number of built-in programs. UI thread. */
    virtual Steinberg::int32 PLUGIN_API getProgramCount () = 0;
    /** Copies the name of program `index` (zero-terminated, cut to `size`); kInvalidArgument when out of range. UI thread. */
    virtual Steinberg::tresult PLUGIN_API getProgramName (Steinberg::int32 index, Steinberg::char8* name,
                                                         Steinberg::int32 size) = 0;
    /** Loads built-in program `index` as the editor's preset list does; kInvalidArgument when out of range. UI thread. */
    virtual Steinberg::tresult PLUGIN_API selectProgram (Steinberg::int32 index) = 0;
    /** Index of the program last loaded. Any thread. */
    virtual Steinberg::int32 PLUGIN_API getCurrentProgram () = 0;
    /** Writes the preset document of the current sound into `text` (zero-terminated) when it fits in `size`
        bytes; `*needed` receives the size it needs including the terminator. kResultOk, or kResultFalse when
        it did not fit. UI thread. */
    virtual Steinberg::tresult PLUGIN_API exportPreset (Steinberg::char8* text, Steinberg::int32 size,
                                                       Steinberg::int32* needed) = 0;
    /** Applies a preset document of `length` bytes. kResultOk when applied, kResultFalse (nothing
        changed) when it is not valid JSON, not a JSON object, or names another plug-in. UI thread. */
    virtual Steinberg::tresult PLUGIN_API importPreset (const Steinberg::char8* text, Steinberg::int32 length) = 0;

    static const Steinberg::FUID iid;
};

DECLARE_CLASS_IID (IVorlixPresetAccess, 0x5A7E3B19, 0x0C2D4F8A, 0x9B61E407, 0x3D5C2A70)

} // namespace Vorlix
