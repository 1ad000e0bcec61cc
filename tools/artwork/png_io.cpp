// PNG writing and reading through libpng.
#include "png_io.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace artwork {
namespace {

struct File {
    std::FILE* f = nullptr;
    ~File() {
        if (f) std::fclose(f);
    }
};

bool writeRows(const std::string& path, int width, int height, int bitDepth, int colorType,
               const std::vector<std::vector<uint8_t>>& rows, const png_color* palette,
               int paletteSize, const png_byte* trns, int trnsSize) {
    File file;
    file.f = std::fopen(path.c_str(), "wb");
    if (!file.f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, file.f);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
                 bitDepth, colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (palette) png_set_PLTE(png, info, palette, paletteSize);
    if (trns) png_set_tRNS(png, info, trns, trnsSize, nullptr);
    png_write_info(png, info);
    for (const auto& row : rows) png_write_row(png, row.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool writePngRgba(const std::string& path, int width, int height,
                  const std::vector<uint8_t>& rgba) {
    if (width <= 0 || height <= 0 ||
        rgba.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 4)
        return false;
    std::vector<std::vector<uint8_t>> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[y].assign(rgba.begin() + static_cast<ptrdiff_t>(y) * width * 4,
                       rgba.begin() + static_cast<ptrdiff_t>(y + 1) * width * 4);
    return writeRows(path, width, height, 8, PNG_COLOR_TYPE_RGBA, rows, nullptr, 0, nullptr, 0);
}

bool writePngPalette2(const std::string& path, int width, int height,
                      const std::vector<uint8_t>& mask, uint32_t inkRgb) {
    if (width <= 0 || height <= 0 ||
        mask.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        return false;
    // Four 2-bit indices per byte, leftmost pixel in the high bits.
    std::vector<std::vector<uint8_t>> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        rows[y].assign(static_cast<size_t>((width + 3) / 4), 0);
        for (int x = 0; x < width; ++x)
            if (mask[static_cast<size_t>(y) * width + x])
                rows[y][x / 4] |= static_cast<uint8_t>(1u << (6 - 2 * (x % 4)));
    }
    const png_color palette[2] = {{0, 0, 0},
                                  {static_cast<png_byte>(inkRgb >> 16),
                                   static_cast<png_byte>(inkRgb >> 8),
                                   static_cast<png_byte>(inkRgb)}};
    const png_byte trns[2] = {0, 255};
    return writeRows(path, width, height, 2, PNG_COLOR_TYPE_PALETTE, rows, palette, 2, trns, 2);
}

bool readPngRgba(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgba) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGBA;
    rgba.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return true;
}

}  // namespace artwork
