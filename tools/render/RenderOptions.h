// The command line of vorlix-render. Options are rows of one table (name, value, help, how the
// value is stored), so a new option is one field here and one row in RenderOptions.cpp.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace Vorlix::Render {

struct RenderOptions
{
    std::string plugin;                 // empty: ~/.vst3/Vorlix307.vst3, else next to the binary
    std::optional<std::string> program; // index or exact name
    std::string preset;
    std::optional<bool> precise;        // --oscillators; empty: what the instance or preset chose
    std::string midi;                   // empty: the built-in demo phrase
    std::optional<double> seconds;      // empty: the material's length plus the release tail
    double rate = 48000.0;
    int block = 256;
    std::string out = "vorlix.wav";
    std::string exportPreset;           // non-empty: write the sound's JSON preset document there (after program and preset)
    std::string saveState;              // non-empty: write the component's state there (after program and preset)
    std::string screenshot;             // non-empty: save the editor's picture as PNG instead of rendering
    std::optional<float> scale;         // the editor's scale for --screenshot; empty: the view's own choice
    bool info = false;
    bool listPrograms = false;
    bool help = false;
};

/** False with a one-line `error` for unknown options, missing or malformed values. */
bool parseRenderOptions (const std::vector<std::string>& args, RenderOptions& options, std::string& error);
std::string renderUsage ();

} // namespace Vorlix::Render
