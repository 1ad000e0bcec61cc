// Writes the render as a 32-bit float stereo WAV file and keeps the figures of the one-line
// summary: length, peak and any sample that is not a finite number. Written by hand rather than
// through a library so that the Windows build of the tool needs nothing but the C++ library.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

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
    /** Fills in the chunk sizes; a file whose sizes were never written reads as empty. */
    bool close (std::string& error);

    std::int64_t frames () const { return framesWritten; }
    float peak () const { return peakValue; }
    std::int64_t nonFiniteSamples () const { return nonFinite; }

private:
    bool writeHeader (std::uint32_t dataBytes);

    std::ofstream file;
    std::string filePath;
    std::vector<unsigned char> bytes;
    int rate = 0;
    std::int64_t framesWritten = 0;
    float peakValue = 0.f;
    std::int64_t nonFinite = 0;
};

} // namespace Vorlix::Render
