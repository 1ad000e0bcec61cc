// Where the standalone app remembers its sound between runs, and how: the instrument's state
// record, exactly as a plug-in host stores it, in $XDG_CONFIG_HOME/vorlix307/state (default
// ~/.config). Written to a temporary file and renamed over the old one, so a crash or a full disk
// never leaves half a file; a damaged file is moved aside, never deleted.
#pragma once

#include "VorlixInstrumentState.h"

#include <optional>
#include <string>

namespace Vorlix::App {

/** $XDG_CONFIG_HOME/vorlix307 when that is an absolute path (as the XDG rules demand), else
    $HOME/.config/vorlix307; empty when neither can be found. */
std::string stateDirectory ();

struct StateLoad
{
    std::optional<VorlixInstrumentState::Record> record; // nullopt: none, or damaged
    std::string warning; // one line when the file was damaged (and where it now is)
};

/** Reads `path`. No file is not an error. A file that is not a whole record with a built-in
    program and values in 0..1 is renamed to `path.bad` (`.bad.1`, `.bad.2`... when taken) and
    reported in `warning`. */
StateLoad loadStateFile (const std::string& path);

/** Writes atomically, creating the directory. False with a one-line `error`. */
bool saveStateFile (const std::string& path, const VorlixInstrumentState::Record& record, std::string& error);

} // namespace Vorlix::App
