#include "tools/render/RenderSession.h"

#include <algorithm>
#include <cmath>

namespace Vorlix::Render {

namespace {
std::int64_t toFrames (double seconds, double rate)
{
    const double f = std::round (seconds * rate);
    return static_cast<std::int64_t> (std::clamp (std::isfinite (f) ? f : 0.0, 0.0, 9.0e15));
}
} // namespace

bool renderSequence (Vorlix::Host::PluginInstance& instance, const NoteSequence& notes, double sampleRate,
                     int block, const RenderLength& length, const BlockSink& sink, const ProgressSink& progress,
                     std::string& error)
{
    block = std::max (block, 1);
    const bool fixed = length.seconds.has_value ();
    const double expected = fixed ? *length.seconds : std::min (notes.lengthSeconds, length.maxTotalSeconds);
    const std::int64_t contentEnd = toFrames (expected, sampleRate);
    const std::int64_t hardEnd = fixed ? contentEnd
                                       : std::min (toFrames (length.maxTotalSeconds, sampleRate),
                                                   contentEnd + toFrames (length.maxTailSeconds, sampleRate));
    const std::int64_t silenceNeeded = std::max<std::int64_t> (toFrames (length.silenceSeconds, sampleRate), 1);

    NoteCursor cursor (notes, sampleRate);
    std::int64_t pos = 0;
    std::int64_t silentRun = 0;
    while (pos < hardEnd)
    {
        if (!fixed && pos >= contentEnd && silentRun >= silenceNeeded)
            break;
        const int n = static_cast<int> (std::min<std::int64_t> (block, hardEnd - pos));
        cursor.fill (pos, n, instance.events ());
        instance.process (n);
        const float* l = instance.output (0);
        const float* r = instance.output (1);
        for (int i = 0; i < n; ++i)
        {
            const bool quiet = std::fabs (l[i]) < length.silenceThreshold && std::fabs (r[i]) < length.silenceThreshold;
            silentRun = quiet ? silentRun + 1 : 0;
        }
        if (!sink (l, r, n, error))
            return false;
        pos += n;
        if (progress)
            progress ({static_cast<double> (pos) / sampleRate, expected});
    }
    return true;
}

} // namespace Vorlix::Render
