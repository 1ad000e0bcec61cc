// The standard VST 3 preset container (.vstpreset) as the instrument's factory presets and hosts'
// own presets use it: "VST3" header with the class ID, a "Comp" chunk holding the component
// state, an "Info" chunk with XML meta information, and the chunk list. Reading and writing go
// through the SDK's PresetFile; this adds the checks a file from anywhere needs first.
#pragma once

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Vorlix::Presets {

using Bytes = std::vector<std::uint8_t>;

/** What the "Info" chunk says about a preset. */
struct MetaInfo
{
    std::string name;           // the preset's own name ("bass-juno")
    std::string pluginName;     // the class name ("Vorlix307")
    std::string pluginCategory; // the class's sub-categories ("Instrument|Synth")
    std::string category;       // the sound's kind, from the program name's prefix ("bass")
};

/** The XML meta information of the "Info" chunk: fixed attribute order, no dates, so the same
    preset always gives the same bytes. */
std::string metaInfoXml (const MetaInfo& info);

/** The kind of sound a program name promises: the text before its first '-' ("bass-juno" is a
    bass), "init" for a name without one. */
std::string categoryOf (std::string_view programName);

/** A name made safe as a file or folder name the way Ardour makes vendor and plug-in names safe
    when it builds its preset folders: each of < > : " / \ | ? * becomes '_'; an empty name, "." and
    ".." become "_" too. */
std::string safeFileName (std::string_view name);

/** The whole file for `componentState` of class `classId`, with the meta information as "Info". */
bool writePresetFile (const Steinberg::FUID& classId, const Bytes& componentState, const std::string& metaXml,
                      Bytes& file);

/** True when `file` starts like a VST 3 preset ("VST3" and room for the header). */
bool looksLikeVstPreset (const Bytes& file);

struct Chunk
{
    std::string id; // four characters
    std::int64_t offset = 0;
    std::int64_t size = 0;
};

struct ParsedPreset
{
    Steinberg::FUID classId;
    std::vector<Chunk> chunks; // in the order of the chunk list
    Bytes componentState;      // the "Comp" chunk, empty when there is none
    std::string metaXml;       // the "Info" chunk, empty when there is none
};

/** Parses a whole file. False with a one-line `error` for anything that is not a well-formed
    preset, including chunks that reach outside the file. */
bool readPresetFile (const Bytes& file, ParsedPreset& preset, std::string& error);

/** Loads a preset file into an instance as a host does: the component state into `component`, and
    into `controller` (when given) the component state and any controller state. The file's class
    must be `classId`. False with a one-line `error` otherwise. */
bool loadPresetFile (const Bytes& file, const Steinberg::FUID& classId, Steinberg::Vst::IComponent* component,
                     Steinberg::Vst::IEditController* controller, std::string& error);

} // namespace Vorlix::Presets
