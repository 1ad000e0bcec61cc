// Plays a note sequence through a started plug-in instance block by block and hands each block of
// output to a sink. Without a fixed length it renders the notes, then the release tail until the
// output has been silent for a moment, within fixed caps.
#pragma once

#include "tools/host/PluginInstance.h"
#include "tools/render/NoteSequence.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace Vorlix::Render {

struct RenderLength
{
    std::optional<double> seconds;     // fixed length; otherwise notes + tail
    double maxTailSeconds = 10.0;      // a held note never goes silent
    double maxTotalSeconds = 600.0;    // default length cap for very long files
    double silenceSeconds = 0.2;       // this much silence ends the tail
    float silenceThreshold = 1.0e-5f;  // -100 dBFS
};

struct RenderProgress
{
    double renderedSeconds;
    double expectedSeconds; // the fixed length, or the notes' length
};

using BlockSink = std::function<bool (const float* left, const float* right, int frames, std::string& error)>;
using ProgressSink = std::function<void (const RenderProgress&)>;

/** The instance must be started with `sampleRate` and a maximum block of at least `block`. */
bool renderSequence (Vorlix::Host::PluginInstance& instance, const NoteSequence& notes, double sampleRate,
                     int block, const RenderLength& length, const BlockSink& sink, const ProgressSink& progress,
                     std::string& error);

} // namespace Vorlix::Render
