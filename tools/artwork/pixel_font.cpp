// Glyph pictures of the two bitmap fonts.
#include "pixel_font.h"

#include <cstring>

#include "pixel_art.h"

namespace artwork {
namespace {

// Condensed glyphs, code 32 to 126: rows 0 to 7 separated by '/', '#' is ink. Each glyph's ink
// stays one column narrower than its advance so neighbours never touch.
const char* const kCondensedGlyphs[kGlyphCount] = {
    "",                                          // space
    "/#/#/#/#/./#",                              // !
    "/#.#/#.#",                                  // "
    "//.#.#./#####/.#.#./#####/.#.#.",           // #
    "..#../.####/#.#../.###./..#.#/####./..#..", // $
    "//##..#/##.#./..#../.#.##/#..##",           // %
    "/.##.../#..#../.##.../#..#.#/#...#./.###.#",  // &
    "/#/#",                                      // '
    "/.#/#./#./#./#./.#",                        // (
    "/#./.#/.#/.#/.#/#.",                        // )
    "//#.#.#/.###./#.#.#",                       // *
    "//..#../..#../#####/..#../..#..",           // +
    "//////#/#",                                 // ,
    "////.###.",                                 // -
    "//////#",                                   // .
    "/....#/...#./..#../..#../.#.../#....",      // /
    "/.###./#...#/#...#/#...#/#...#/.###.",      // 0
    "/##/.#/.#/.#/.#/.#",                        // 1
    "/.###./#...#/....#/..##./.#.../#####",      // 2
    "/####./....#/.###./....#/....#/####.",      // 3
    "/..##./.#.#./#..#./#####/...#./...#.",      // 4
    "/#####/#..../####./....#/....#/####.",      // 5
    "/.###./#..../####./#...#/#...#/.###.",      // 6
    "/#####/....#/...#./..#../..#../..#..",      // 7
    "/.###./#...#/.###./#...#/#...#/.###.",      // 8
    "/.###./#...#/#...#/.####/....#/.###.",      // 9
    "///#///#",                                  // :
    "///#///#/#",                                // ;
    "//..#/.#./#../.#./..#",                     // <
    "///#####//#####",                           // =
    "//#../.#./..#/.#./#..",                     // >
    "/.##./#..#/...#/..#./..../..#.",            // ?
    "/.###./#...#/#.###/#.#.#/#.##./#..../.###.",  // @
    "/.###./#...#/#...#/#####/#...#/#...#",      // A
    "/####./#...#/####./#...#/#...#/####.",      // B
    "/.####/#..../#..../#..../#..../.####",      // C
    "/####./#...#/#...#/#...#/#...#/####.",      // D
    "/####/#.../###./#.../#.../####",            // E
    "/####/#.../###./#.../#.../#...",            // F
    "/.####/#..../#..##/#...#/#...#/.###.",      // G
    "/#...#/#...#/#####/#...#/#...#/#...#",      // H
    "/#/#/#/#/#/#",                              // I
    "/....#/....#/....#/....#/#...#/.###.",      // J
    "/#...#/#..#./###../#..#./#...#/#...#",      // K
    "/#.../#.../#.../#.../#.../####",            // L
    "/#...#/##.##/#.#.#/#...#/#...#/#...#",      // M
    "/#...#/##..#/#.#.#/#..##/#...#/#...#",      // N
    "/.###./#...#/#...#/#...#/#...#/.###.",      // O
    "/####./#...#/#...#/####./#..../#....",      // P
    "/.###./#...#/#...#/#...#/#..#./.##.#",      // Q
    "/####./#...#/#...#/####./#..#./#...#",      // R
    "/.####/#..../.###./....#/....#/####.",      // S
    "/#####/..#../..#../..#../..#../..#..",      // T
    "/#...#/#...#/#...#/#...#/#...#/.###.",      // U
    "/#...#/#...#/#...#/.#.#./.#.#./..#..",      // V
    "/#...#/#...#/#...#/#.#.#/##.##/#...#",      // W
    "/#...#/.#.#./..#../..#../.#.#./#...#",      // X
    "/#.#/#.#/.#./.#./.#./.#.",                  // Y
    "/#####/...#./..#../.#.../#..../#####",      // Z
    "/##/#./#./#./#./##",                        // [
    "/#..../.#.../..#../..#../...#./....#",      // backslash
    "/##/.#/.#/.#/.#/##",                        // ]
    "/.#./#.#",                                  // ^
    "///////#####",                              // _
    "/#./.#",                                    // `
    "///.###/#..#/#..#/.###",                    // a
    "/#.../#.../###./#..#/#..#/###.",            // b
    "///.##/#../#../.##",                        // c
    "/...#/...#/.###/#..#/#..#/.###",            // d
    "///.##./####/#.../.###",                    // e
    "/.##/#../###/#../#../#..",                  // f
    "///.###/#..#/.###/...#/###.",               // g
    "/#.../#.../###./#..#/#..#/#..#",            // h
    "/#//#/#/#/#",                               // i
    "/.#//.#/.#/.#/.#/#.",                       // j
    "/#../#../#.#/##./#.#/#.#",                  // k
    "/#/#/#/#/#/#",                              // l
    "///####./#.#.#/#.#.#/#.#.#",                // m
    "///###./#..#/#..#/#..#",                    // n
    "///.##./#..#/#..#/.##.",                    // o
    "///###./#..#/#..#/###./#...",               // p
    "///.###/#..#/#..#/.###/...#",               // q
    "///#.#/##./#../#..",                        // r
    "///.###/##../..##/###.",                    // s
    "//#./##/#./#./.#",                          // t
    "///#..#/#..#/#..#/.###",                    // u
    "///#..#/#..#/.##./.##.",                    // v
    "///#...#/#...#/#.#.#/.#.#.",                // w
    "///#.#/.#./.#./#.#",                        // x
    "///#..#/#..#/.###/...#/###.",               // y
    "///####/..#./.#../####",                    // z
    "/.##/.#./##./.#./.#./.##",                  // {
    "#/#/#/#/#/#/#/#",                           // |
    "/##./.#./.##/.#./.#./##.",                  // }
    "///.#.#/#.#.",                              // ~
};

// Advances from code 32 to 126 of the two fonts.
constexpr int kCondensedAdvance[kGlyphCount] = {
    5, 2, 4, 6, 6, 6, 7, 2, 3, 3, 6, 6, 2, 6, 2, 6, 6, 3, 6, 6, 6, 6, 6, 6, 6, 6, 2, 2,
    4, 6, 4, 5, 6, 6, 6, 6, 6, 5, 6, 6, 6, 2, 6, 6, 5, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6,
    6, 5, 6, 3, 6, 3, 4, 6, 3, 5, 5, 4, 5, 5, 4, 5, 5, 2, 3, 4, 2, 6, 5, 5, 5, 5, 4, 5,
    3, 5, 5, 6, 4, 5, 5, 4, 2, 4, 5};
constexpr int kRegularAdvance[kGlyphCount] = {
    4, 3, 5, 7, 7, 7, 8, 3, 4, 4, 8, 7, 3, 7, 3, 7, 7, 4, 7, 7, 7, 7, 7, 7, 7, 7, 3, 3,
    5, 7, 5, 6, 7, 7, 7, 7, 7, 6, 7, 7, 7, 3, 7, 7, 6, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,
    7, 7, 7, 4, 7, 4, 5, 7, 4, 6, 6, 5, 6, 6, 5, 6, 6, 3, 4, 5, 3, 7, 6, 6, 6, 6, 5, 6,
    4, 6, 6, 7, 5, 6, 6, 5, 3, 5, 6};

PixelFont buildCondensed() {
    PixelFont f;
    f.cellWidth = 7;
    for (int n = 0; n < kGlyphCount; ++n) {
        f.advance[n] = kCondensedAdvance[n];
        const char* p = kCondensedGlyphs[n];
        int row = 0, col = 0;
        for (; *p && row < kGlyphRows; ++p) {
            if (*p == '/') {
                ++row;
                col = 0;
            } else {
                if (*p == '#') f.ink[n][row] |= static_cast<uint16_t>(1u << col);
                ++col;
            }
        }
    }
    return f;
}

int inkWidth(const PixelFont& f, int n) {
    int w = 0;
    for (uint16_t bits : f.ink[n])
        for (int c = 0; c < 16; ++c)
            if (bits & (1u << c)) w = std::max(w, c + 1);
    return w;
}

// The regular face repeats one column of each condensed glyph: the middle one, so round
// letters grow a column of their bowl and single strokes (I, l, 1) become two pixels wide.
PixelFont buildRegular(const PixelFont& c) {
    PixelFont f;
    f.cellWidth = 8;
    for (int n = 0; n < kGlyphCount; ++n) {
        f.advance[n] = kRegularAdvance[n];
        const int w = inkWidth(c, n);
        if (w == 0) continue;
        int dup = w / 2;
        const int room = f.advance[n] - 1;  // ink must leave a one-pixel gap
        const bool widen = w + 1 <= room;
        for (int r = 0; r < kGlyphRows; ++r) {
            uint16_t out = 0;
            int o = 0;
            for (int col = 0; col < w; ++col) {
                const bool on = (c.ink[n][r] >> col) & 1u;
                if (on) out |= static_cast<uint16_t>(1u << o);
                ++o;
                if (widen && col == dup) {
                    if (on) out |= static_cast<uint16_t>(1u << o);
                    ++o;
                }
            }
            f.ink[n][r] = out;
        }
    }
    return f;
}

}  // namespace

bool PixelFont::pixel(int code, int x, int y) const {
    if (code < kFirstChar || code > kLastChar || x < 0 || x >= 16 || y < 0 || y >= kGlyphRows)
        return false;
    return (ink[code - kFirstChar][y] >> x) & 1u;
}

int PixelFont::textWidth(const std::string& text) const {
    int w = 0;
    for (unsigned char ch : text) {
        const int code = (ch < kFirstChar || ch > kLastChar) ? '?' : ch;
        w += advance[code - kFirstChar];
    }
    return text.empty() ? 0 : w - 1;
}

void PixelFont::draw(Canvas& canvas, int x, int y, const std::string& text, const Rgba& color,
                     int scale) const {
    int pen = x;
    for (unsigned char ch : text) {
        const int code = (ch < kFirstChar || ch > kLastChar) ? '?' : ch;
        drawPixelArt(canvas, pen, y, 16, kGlyphRows, [&](int c, int r) { return pixel(code, c, r); },
                     color, scale);
        pen += advance[code - kFirstChar] * scale;
    }
}

const PixelFont& condensedFont() {
    static const PixelFont f = buildCondensed();
    return f;
}

const PixelFont& regularFont() {
    static const PixelFont f = buildRegular(condensedFont());
    return f;
}

}  // namespace artwork
