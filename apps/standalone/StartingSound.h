// The sound the app starts with: a program or a preset file named on the command line, else the
// sound remembered from the last run, else the instrument's default.
#pragma once

#include <string>

class VorlixInstrument;

namespace Vorlix::App {

/** The built-in program `which` names: a number 0..60 or an exact name. -1 when it names none. */
int findProgram (const std::string& which);

/** Loads `path` (a JSON preset document or a .vstpreset of this instrument) into the instrument.
    False with a one-line `error` (nothing changed) when it cannot be read or is not one. */
bool loadPresetFile (VorlixInstrument& instrument, const std::string& path, std::string& error);

} // namespace Vorlix::App
