// The standalone app's command line: what to connect, which sound to start with, whether to open
// a window. Parsing is separate from acting on it so that every malformed line has one tested
// answer.
#pragma once

#include <string>
#include <vector>

namespace Vorlix::App {

struct AppOptions
{
    bool help = false;
    bool version = false;
    bool headless = false;
    bool noConnect = false;
    std::string clientName = "vorlix307";
    std::string program;                // N or NAME; empty: the remembered sound
    std::string preset;                 // JSON or .vstpreset file; empty: none
    std::vector<std::string> midiConnect; // ports to feed the MIDI input from
    std::vector<std::string> audioConnect; // empty (default ports) or exactly two: L R
};

/** Parses argv[1..]. False with a one-line `error` (no program name, no newline) for an unknown
    option, a missing or empty value, or options that contradict each other. */
bool parseAppOptions (int argc, const char* const* argv, AppOptions& out, std::string& error);

/** The --help text. */
std::string appUsage ();

} // namespace Vorlix::App
