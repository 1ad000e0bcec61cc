// Draws every image and metrics document of the instrument into a folder:
//   vorlix-artwork <output-folder> [--preview <folder>]
// The output is the same on every run; the committed files in vorlix/resources come from it.
#include <cstdio>
#include <string>
#include <vector>

#include "font_atlas.h"
#include "knobs.h"
#include "panel.h"
#include "png_io.h"
#include "switches.h"

using namespace artwork;

namespace {

bool save(const std::string& dir, int id, const Canvas& c) {
    char name[32];
    std::snprintf(name, sizeof name, "/bmp%05d.png", id);
    if (!writePngRgba(dir + name, c.width(), c.height(), c.toRgba8())) {
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

    struct Item {
        int id;
        Canvas image;
    };
    std::vector<Item> items;
    items.push_back({128, drawPanel()});
    items.push_back({131, drawKnobStrip(KnobStyle::Standard)});
    items.push_back({132, drawKnobStrip(KnobStyle::Mix)});
    items.push_back({133, drawKnobStrip(KnobStyle::Time)});
    items.push_back({134, drawKnobStrip(KnobStyle::Bipolar)});
    items.push_back({137, drawKnobStrip(KnobStyle::ShapeOsc2)});
    items.push_back({139, drawKnobStrip(KnobStyle::ShapeOsc1)});
    items.push_back({141, drawSlideSwitch()});
    items.push_back({142, drawLedSwitch()});
    items.push_back({143, drawAbout()});
    items.push_back({148, drawSlideSelector()});
    items.push_back({149, drawSegmentSelector()});
    items.push_back({150, drawSquareToggle()});
    items.push_back({151, drawRoundToggle()});
    items.push_back({152, drawKickButton(KickIcon::ArrowRight)});
    items.push_back({153, drawKickButton(KickIcon::ArrowLeft)});
    items.push_back({154, drawKnobStrip(KnobStyle::Level)});
    items.push_back({155, drawPresetBox()});
    items.push_back({159, drawKickButton(KickIcon::ArrowUp)});
    items.push_back({160, drawKickButton(KickIcon::ArrowDown)});
    items.push_back({162, drawOctaveToggle()});

    bool ok = true;
    for (const Item& i : items) ok = save(out, i.id, i.image) && ok;
    ok = writeFontAtlas(out, "bitrune", regularFont()) && ok;
    ok = writeFontAtlas(out, "bitrunec", condensedFont()) && ok;

    if (!preview.empty()) {
        for (const Item& i : items) {
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
