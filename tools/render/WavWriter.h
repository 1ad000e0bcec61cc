// Writes the render as a 32-bit float stereo WAV file through libsndfile and keeps the figures of
// the one-line summary: length, peak and any sample that is not a finite number.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

typedef struct sf_private_tag SNDFILE;

namespace Vorlix::Render {

class WavWriter
{
public:
    WavWriter () = default;
    ~WavWriter ();
    WavWriter (const WavWriter&) = delete;
    WavWriter& operator= (const WavWriter&) = delete;

    bool open (const std::string& path, int sampleRate, std::string& error);
    bool write (const float* left, const float* right, int frames, std::string& error);
    bool close (std::string& error);

    std::int64_t frames () const { return framesWritten; }
    float peak () const { return peakValue; }
    std::int64_t nonFiniteSamples () const { return nonFinite; }

private:
    SNDFILE* file = nullptr;
    std::string filePath;
    std::vector<float> interleaved;
    std::int64_t framesWritten = 0;
    float peakValue = 0.f;
    std::int64_t nonFinite = 0;
};

} // namespace Vorlix::Render
