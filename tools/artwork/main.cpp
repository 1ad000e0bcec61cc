// Draws every image and metrics document of the instrument into a folder, and the same set at
// twice the resolution into its subfolder 2x (for screens scaled by more than 1):
//   vorlix-artwork <output-folder> [--preview <folder>]
// The output is the same on every run; the committed files in vorlix/resources come from it.
#include <cstdio>
#include <sys/stat.h>
#include <string>
#include <vector>

#include "artwork_set.h"
#include "font_atlas.h"
#include "png_io.h"

using namespace artwork;

namespace {

bool save(const std::string& dir, int id, const Canvas& c) {
    char name[32];
    std::snprintf(name, sizeof name, "/bmp%05d.png", id);
    if (!writePngRgba(dir + name, c.pixelWidth(), c.pixelHeight(), c.toRgba8())) {
        std::fprintf(stderr, "vorlix-artwork: cannot write %s%s\n", dir.c_str(), name);
        return false;
    }
    return true;
}

// Nearest-neighbour enlargement for looking at the pixels.
Canvas enlarge(const Canvas& c, int s) {
    Canvas out(c.width() * s, c.height() * s);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) out.set(x, y, c.get(x / s, y / s));
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: vorlix-artwork <output-folder> [--preview <folder>]\n");
        return 2;
    }
    const std::string out = argv[1];
    std::string preview;
    if (argc >= 4 && std::string(argv[2]) == "--preview") preview = argv[3];

    const std::vector<DrawnImage> items = drawEditorImages();

    bool ok = true;
    for (const DrawnImage& i : items) ok = save(out, i.id, i.image) && ok;
    ok = writeFontAtlas(out, "bitrune", regularFont()) && ok;
    ok = writeFontAtlas(out, "bitrunec", condensedFont()) && ok;

    const std::string out2x = out + "/2x";
    ::mkdir(out2x.c_str(), 0755);  // an existing folder is fine; a failure shows in the writes
    for (const DrawnImage& i : drawEditorImages(2)) ok = save(out2x, i.id, i.image) && ok;
    ok = writeFontAtlas(out2x, "bitrune", regularFont(), 2) && ok;
    ok = writeFontAtlas(out2x, "bitrunec", condensedFont(), 2) && ok;

    if (!preview.empty()) {
        for (const DrawnImage& i : items) {
            Canvas p = i.image;
            if (p.height() > 400) {  // first, middle and last frame of a filmstrip
                Canvas f(p.width() * 3 + 4, p.width());
                f.copyFrom(p, 0, 0, p.width(), p.width(), 0, 0);
                f.copyFrom(p, 0, 31 * p.width(), p.width(), p.width(), p.width() + 2, 0);
                f.copyFrom(p, 0, 62 * p.width(), p.width(), p.width(), 2 * p.width() + 4, 0);
                p = f;
            }
            const int s = p.width() >= 500 ? 2 : 6;
            save(preview, i.id, enlarge(p, s));
        }
        int w, h;
        std::vector<uint8_t> px;
        for (const char* n : {"bitrune", "bitrunec"})
            if (readPngRgba(out + "/" + n + ".png", w, h, px)) {
                Canvas a = Canvas::fromRgba8(w, h, px.data());
                Canvas bg(w, h, hex(0x120A02));
                bg.draw(a, 0, 0);
                writePngRgba(preview + "/" + n + "_x6.png", w * 6, h * 6, enlarge(bg, 6).toRgba8());
            }
    }
    return ok ? 0 : 1;
}
