// PNG files of the artwork: 8-bit RGBA for bitmaps, 2-bit palette for the font atlases.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace artwork {

// Writes width x height RGBA pixels (rows top to bottom) as an 8-bit RGBA PNG without
// ancillary chunks, so the same pixels always give the same file.
bool writePngRgba(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba);

// Writes a two-colour image as a 2-bit palette PNG: index 0 is fully transparent black,
// index 1 is `ink`, opaque. `mask` holds one byte per pixel, non-zero for ink.
bool writePngPalette2(const std::string& path, int width, int height,
                      const std::vector<uint8_t>& mask, uint32_t inkRgb);

// Reads any PNG into 8-bit RGBA. Returns false on failure.
bool readPngRgba(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgba);

}  // namespace artwork
