// The screenshot's PNG writer, one for every platform: stb_image_write is header-only, so the
// Windows cross-build has it as the Linux build does.
#include "tools/render/EditorScreenshot.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace Vorlix::Render {
namespace {

struct PngFile
{
    std::FILE* file;
    bool failed;
};

void writeBytes (void* context, void* data, int size)
{
    auto* out = static_cast<PngFile*> (context);
    if (std::fwrite (data, 1, static_cast<size_t> (size), out->file) != static_cast<size_t> (size))
        out->failed = true;
}

} // namespace

bool writeRgbPng (const std::string& path, const std::vector<std::uint8_t>& rgb, int width, int height,
                  std::string& error)
{
    if (width <= 0 || height <= 0 || rgb.size () != static_cast<size_t> (width) * static_cast<size_t> (height) * 3)
    {
        error = "no picture to write";
        return false;
    }
    PngFile out {std::fopen (path.c_str (), "wb"), false};
    if (!out.file)
    {
        error = "cannot write " + path + ": " + std::strerror (errno);
        return false;
    }
    const bool encoded = stbi_write_png_to_func (writeBytes, &out, width, height, 3, rgb.data (), width * 3) != 0;
    const bool closed = std::fclose (out.file) == 0;
    if (!encoded || out.failed || !closed)
    {
        error = "cannot write " + path + " as PNG";
        return false;
    }
    return true;
}

} // namespace Vorlix::Render
