// Contact sheet: the panel with every control in its place, once with every control in its
// first frame and once in its last, with sample read-out texts in the regular font at the
// editor's scale of 1.5. For reviewing the artwork before the editor runs.
//   vorlix-contact-sheet <resources-folder> <output.png> [zoom [panel]]
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "canvas.h"
#include "layout.h"
#include "png_io.h"

using namespace artwork;

namespace {

struct Image {
    int w = 0, h = 0;
    std::vector<uint8_t> px;
};

bool load(const std::string& dir, const std::string& file, Image& img) {
    return readPngRgba(dir + "/" + file, img.w, img.h, img.px);
}

// Draws the source rectangle (sx, sy, w, h) of img at (x, y) with alpha blending.
void blit(Canvas& c, const Image& img, int sx, int sy, int w, int h, int x, int y) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            if (sx + i >= img.w || sy + j >= img.h) continue;
            const uint8_t* p = &img.px[(static_cast<size_t>(sy + j) * img.w + sx + i) * 4];
            c.blend(x + i, y + j, {p[0] / 255.f, p[1] / 255.f, p[2] / 255.f, p[3] / 255.f});
        }
}

// The regular font's advances, code 32 to 126 (same as its metrics document).
const int kAdvance[95] = {4, 3, 5, 7, 7, 7, 8, 3, 4, 4, 8, 7, 3, 7, 3, 7, 7, 4, 7, 7, 7, 7, 7, 7,
                          7, 7, 3, 3, 5, 7, 5, 6, 7, 7, 7, 7, 7, 6, 7, 7, 7, 3, 7, 7, 6, 7, 7, 7,
                          7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 4, 7, 4, 5, 7, 4, 6, 6, 5, 6, 6, 5, 6,
                          6, 3, 4, 5, 3, 7, 6, 6, 6, 6, 5, 6, 4, 6, 6, 7, 5, 6, 6, 5, 3, 5, 6};

// Text as the toolkit lays it out: glyph quads scaled by 1.5, sampled nearest.
void text(Canvas& c, const Image& atlas, float rx, float ry, float rw, float rh,
          const std::string& s, bool centre) {
    const float scale = 1.5f;
    float width = 0;
    for (unsigned char ch : s) width += kAdvance[(ch < 32 || ch > 126 ? '?' : ch) - 32];
    float x0 = rx;
    if (centre) x0 = rx + std::max(0.0f, (rw - width * scale) * 0.5f);
    const float y = ry + std::max(0.0f, (rh - 8 * scale) * 0.5f);
    float pen = 0;
    for (unsigned char ch : s) {
        const int n = (ch < 32 || ch > 126 ? '?' : ch) - 32;
        const int gx = (n % 16) * 8, gy = (n / 16) * 8, gw = kAdvance[n];
        if (ch != ' ') {
            const float dx = x0 + pen, dw = gw * scale, dh = 8 * scale;
            for (int py = static_cast<int>(std::floor(y)); py < y + dh; ++py)
                for (int px = static_cast<int>(std::floor(dx)); px < dx + dw; ++px) {
                    const float u = (px + 0.5f - dx) / scale, v = (py + 0.5f - y) / scale;
                    if (u < 0 || v < 0 || u >= gw || v >= 8) continue;
                    const uint8_t* p = &atlas.px[(static_cast<size_t>(gy + static_cast<int>(v)) * atlas.w +
                                                   gx + static_cast<int>(u)) * 4];
                    c.blend(px, py, {p[0] / 255.f, p[1] / 255.f, p[2] / 255.f, p[3] / 255.f});
                }
        }
        pen += gw * scale;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: vorlix-contact-sheet <resources-folder> <output.png> [zoom]\n");
        return 2;
    }
    const std::string dir = argv[1];
    const int zoom = argc > 3 ? std::max(1, std::atoi(argv[3])) : 2;
    std::map<int, Image> images;
    for (const ImageInfo& info : editorImages()) {
        char name[32];
        std::snprintf(name, sizeof name, "bmp%05d.png", info.id);
        if (!load(dir, name, images[info.id])) {
            std::fprintf(stderr, "vorlix-contact-sheet: cannot read %s/%s\n", dir.c_str(), name);
            return 1;
        }
    }
    Image atlas;
    if (!load(dir, "bitrune.png", atlas)) return 1;

    const int gap = 12;
    Canvas sheet(565 * 2 + gap, 260 * 2 + gap, {0.05f, 0.05f, 0.05f, 1});
    for (int half = 0; half < 2; ++half) {
        const bool last = half == 1;
        Canvas panel(565, 260);
        blit(panel, images[128], 0, 0, 565, 260, 0, 0);
        for (const ControlPlace& k : panelControls()) {
            if (k.image == 0) continue;
            const Image& img = images[k.image];
            const int frame = last ? k.frames - 1 : 0;
            blit(panel, img, 0, frame * k.h, k.w, k.h, k.x, k.y);
        }
        // Read-outs and the preset label as the editor shows them.
        for (const ControlPlace& k : panelControls()) {
            if (k.image != 0) continue;
            std::string s;
            const std::string what = k.what;
            if (what == "osc1 shape") s = last ? "Pnk" : "Saw";
            if (what == "osc2 shape") s = last ? "Wht" : "Sqr";
            if (what == "active voices") s = last ? "10" : "0";
            if (what == "polyphony") s = last ? "10" : "1";
            text(panel, atlas, k.x, k.y, k.w, k.h, s, true);
        }
        text(panel, atlas, 25 + 4, 18 - 1, 145 - 8, 12, last ? "bass-juno" : "InitSaw", false);
        text(panel, atlas, kLibraryLabel.x, kLibraryLabel.y, kLibraryLabel.w, kLibraryLabel.h,
             "VexaGui", true);
        sheet.copyFrom(panel, 0, 0, 565, 260, half * (565 + gap), 0);
        // Below: the about picture and, for the second half, the panel's bare background.
        Canvas lower(565, 260);
        if (!last) blit(lower, images[143], 0, 0, 565, 260, 0, 0);
        else blit(lower, images[128], 0, 0, 565, 260, 0, 0);
        sheet.copyFrom(lower, 0, 0, 565, 260, half * (565 + gap), 260 + gap);
    }
    // An optional fourth argument picks one panel (0 first frames, 1 last frames) for close-ups.
    int ox = 0, oy = 0, ow = sheet.width(), oh = sheet.height();
    if (argc > 4) {
        ox = std::atoi(argv[4]) == 1 ? 565 + gap : 0;
        ow = 565;
        oh = 260;
    }
    Canvas out(ow * zoom, oh * zoom);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) out.set(x, y, sheet.get(ox + x / zoom, oy + y / zoom));
    if (!writePngRgba(argv[2], out.width(), out.height(), out.toRgba8())) {
        std::fprintf(stderr, "vorlix-contact-sheet: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
