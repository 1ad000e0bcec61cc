// Programs and preset documents through the component's private extension interface, which
// DAWs never see: list the built-in programs, pick one by index or name, import a preset file
// (a .vstpreset goes the host's way instead).
#pragma once

#include "tools/host/PluginInstance.h"

#include <string>
#include <vector>

namespace Vorlix::Render {

bool listPrograms (const Vorlix::Host::PluginInstance& instance, std::vector<std::string>& names, std::string& error);
/** `which` is an index ("12") or an exact program name ("bass-vorlix"). */
bool selectProgram (const Vorlix::Host::PluginInstance& instance, const std::string& which, std::string& error);
/** A JSON preset document (as the editor's import reads it) or a .vstpreset file (told apart by
    its "VST3" header), which must be for class `classId`, as a host loads it. */
bool importPresetFile (const Vorlix::Host::PluginInstance& instance, const Steinberg::TUID classId,
                       const std::string& path, std::string& error);
/** The oscillator mode, set the way a stored state carries it: the component's state is read
    and given back with or without the precise marker after its 148 bytes. */
bool setOscillatorMode (const Vorlix::Host::PluginInstance& instance, bool precise, std::string& error);

/** Writes the component's state (getState) to `path` byte for byte, as a host stores it. */
bool saveComponentState (const Vorlix::Host::PluginInstance& instance, const std::string& path, std::string& error);

/** Writes the current sound's JSON preset document to `path`, as the editor's export does. */
bool exportPresetFile (const Vorlix::Host::PluginInstance& instance, const std::string& path, std::string& error);

} // namespace Vorlix::Render
