#include "tools/render/WavWriter.h"

#include <cmath>
#include <sndfile.h>

namespace Vorlix::Render {

WavWriter::~WavWriter ()
{
    if (file)
        sf_close (file);
}

bool WavWriter::open (const std::string& path, int sampleRate, std::string& error)
{
    SF_INFO info {};
    info.samplerate = sampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    file = sf_open (path.c_str (), SFM_WRITE, &info);
    if (file == nullptr)
    {
        error = "cannot write " + path + ": " + sf_strerror (nullptr);
        return false;
    }
    filePath = path;
    return true;
}

bool WavWriter::write (const float* left, const float* right, int frames, std::string& error)
{
    if (frames <= 0)
        return true;
    interleaved.resize (static_cast<size_t> (frames) * 2);
    for (int i = 0; i < frames; ++i)
    {
        const float s[2] = {left[i], right[i]};
        for (int c = 0; c < 2; ++c)
        {
            if (!std::isfinite (s[c]))
                ++nonFinite;
            else
                peakValue = std::fmax (peakValue, std::fabs (s[c]));
            interleaved[static_cast<size_t> (i) * 2 + static_cast<size_t> (c)] = s[c];
        }
    }
    if (sf_writef_float (file, interleaved.data (), frames) != frames)
    {
        error = "cannot write " + filePath + ": " + sf_strerror (file);
        return false;
    }
    framesWritten += frames;
    return true;
}

bool WavWriter::close (std::string& error)
{
    if (file == nullptr)
        return true;
    sf_write_sync (file);
    const int rc = sf_close (file);
    file = nullptr;
    if (rc != 0)
    {
        error = "cannot finish " + filePath + ": " + sf_error_number (rc);
        return false;
    }
    return true;
}

} // namespace Vorlix::Render
