// vorlix-render --screenshot through the built bundle: a PNG of the editor's size that shows the
// panel, shows the picked program, and is also made where there is no display (own Xvfb); at
// --scale 2 a picture twice the size, as sharp as one drawn for that size.
#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* at(int x, int y) const {
        return &rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3];
    }
};

bool readPng(const fs::path& path, Picture& out) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr) != 0;
}

// Mesa's driver is unloaded at the tool's exit and what it allocated then looks leaked; the
// tool's own memory is checked where the same code runs in-process (the plug view tests).
int run(const std::string& command) {
    return std::system(("ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0\" " + command + " >/dev/null 2>&1").c_str());
}

std::string tool(const fs::path& png, const std::string& extra) {
    return std::string(VORLIX_RENDER_BINARY) + " --plugin " + VORLIX_BUNDLE + " --screenshot " + png.string() + " " + extra;
}

// How many pixels differ between two pictures inside a rectangle.
int differences(const Picture& a, const Picture& b, int x0, int y0, int w, int h) {
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            for (int c = 0; c < 3; ++c) n += a.at(x, y)[c] != b.at(x, y)[c] ? 1 : 0;
    return n;
}

// The picture at twice the size by bilinear filtering (pixel centres aligned, edges clamped): what a
// desktop's scaling would show of the 1x editor.
Picture bilinearDouble(const Picture& p) {
    Picture out;
    out.width = 2 * p.width;
    out.height = 2 * p.height;
    out.rgb.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height) * 3);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const float sx = std::clamp((x + 0.5f) / 2.0f - 0.5f, 0.0f, p.width - 1.0f);
            const float sy = std::clamp((y + 0.5f) / 2.0f - 0.5f, 0.0f, p.height - 1.0f);
            const int x0 = static_cast<int>(sx), y0 = static_cast<int>(sy);
            const int x1 = std::min(x0 + 1, p.width - 1), y1 = std::min(y0 + 1, p.height - 1);
            const float fx = sx - x0, fy = sy - y0;
            for (int c = 0; c < 3; ++c) {
                const float top = p.at(x0, y0)[c] * (1 - fx) + p.at(x1, y0)[c] * fx;
                const float bottom = p.at(x0, y1)[c] * (1 - fx) + p.at(x1, y1)[c] * fx;
                out.rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(out.width) + static_cast<std::size_t>(x)) * 3 + c] =
                    static_cast<unsigned char>(std::lround(top * (1 - fy) + bottom * fy));
            }
        }
    return out;
}

// Gradient energy, the classic focus measure: the mean squared colour difference between each
// pixel and its right and lower neighbours. Blur spreads an edge's step over several pixels, and
// the squares of the smaller steps add up to less (a bilinear 2x enlargement keeps 3/8 of a
// step's square); a picture drawn for its size keeps its steps whole.
double gradientEnergy(const Picture& p) {
    double sum = 0;
    for (int y = 0; y + 1 < p.height; ++y)
        for (int x = 0; x + 1 < p.width; ++x)
            for (int c = 0; c < 3; ++c) {
                const double dx = p.at(x + 1, y)[c] - p.at(x, y)[c], dy = p.at(x, y + 1)[c] - p.at(x, y)[c];
                sum += dx * dx + dy * dy;
            }
    return sum / (static_cast<double>(p.width - 1) * (p.height - 1) * 3);
}

// The share of pixels whose colour differs from both horizontal neighbours' (the measure the
// issue suggested). Blur raises it, since every pixel of a ramp differs from both sides; it is
// reported for comparison, not tested.
double differingFromBothNeighbours(const Picture& p) {
    long n = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 1; x + 1 < p.width; ++x)
            n += !std::equal(p.at(x, y), p.at(x, y) + 3, p.at(x - 1, y)) && !std::equal(p.at(x, y), p.at(x, y) + 3, p.at(x + 1, y));
    return static_cast<double>(n) / (static_cast<double>(p.width - 2) * p.height);
}

// Mean absolute difference per channel between a picture and another one of twice its size
// averaged over 2 x 2 blocks: small when both show the same layout.
double meanDifferenceFromHalved(const Picture& small, const Picture& big) {
    double sum = 0;
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x)
            for (int c = 0; c < 3; ++c) {
                const int block = big.at(2 * x, 2 * y)[c] + big.at(2 * x + 1, 2 * y)[c] + big.at(2 * x, 2 * y + 1)[c] +
                                  big.at(2 * x + 1, 2 * y + 1)[c];
                sum += std::abs(block / 4.0 - small.at(x, y)[c]);
            }
    return sum / (static_cast<double>(small.width) * small.height * 3);
}

} // namespace

TEST(ScreenshotTool, SavesTheEditorAsPng) {
    const fs::path dir = fs::temp_directory_path() / ("vorlix-shot-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    ASSERT_EQ(run(tool(dir / "p0.png", "")), 0);
    ASSERT_EQ(run(tool(dir / "p10.png", "--program bass-juno")), 0);
    Picture p0, p10;
    ASSERT_TRUE(readPng(dir / "p0.png", p0));
    ASSERT_TRUE(readPng(dir / "p10.png", p10));
    EXPECT_EQ(p0.width, 565);
    EXPECT_EQ(p0.height, 260);
    // The panel is drawn everywhere: no black corner or middle.
    for (const auto& [x, y] : {std::pair{2, 2}, std::pair{562, 2}, std::pair{2, 257}, std::pair{562, 257}, std::pair{282, 130}}) {
        const unsigned char* px = p0.at(x, y);
        EXPECT_GT(px[0] + px[1] + px[2], 0) << x << "," << y;
    }
    // The preset box shows another name, and the controls moved.
    EXPECT_GT(differences(p0, p10, 25, 17, 145, 14), 0);
    EXPECT_GT(differences(p0, p10, 0, 40, 565, 220), 0);

    // Without a display the tool brings its own X server.
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    unsetenv("DISPLAY");
    const int rc = run(tool(dir / "headless.png", ""));
    if (!saved.empty()) setenv("DISPLAY", saved.c_str(), 1);
    ASSERT_EQ(rc, 0);
    Picture headless;
    ASSERT_TRUE(readPng(dir / "headless.png", headless));
    EXPECT_EQ(differences(p0, headless, 0, 0, 565, 260), 0);
    fs::remove_all(dir);
}

TEST(ScreenshotTool, ScaleTwoIsTwiceTheSizeSharpAndTheSameLayout) {
    const fs::path dir = fs::temp_directory_path() / ("vorlix-shot2-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    ASSERT_EQ(run(tool(dir / "one.png", "--scale 1")), 0);
    ASSERT_EQ(run(tool(dir / "two.png", "--scale 2")), 0);
    Picture one, two, readme;
    ASSERT_TRUE(readPng(dir / "one.png", one));
    ASSERT_TRUE(readPng(dir / "two.png", two));
    ASSERT_EQ(two.width, 1130);
    ASSERT_EQ(two.height, 520);

    // Scale 1 is the picture the README shows, to the pixel.
    ASSERT_TRUE(readPng(fs::path(VORLIX_SOURCE_DIR) / "docs" / "editor.png", readme));
    ASSERT_EQ(one.width, readme.width);
    ASSERT_EQ(one.height, readme.height);
    EXPECT_EQ(differences(one, readme, 0, 0, 565, 260), 0);

    const Picture blurred = bilinearDouble(one);
    const double sharp = gradientEnergy(two), soft = gradientEnergy(blurred);
    std::printf("gradient energy: scale 2 %.1f, bilinear 2x of scale 1 %.1f (ratio %.2f); differing from both "
                "neighbours: %.4f and %.4f\n",
                sharp, soft, sharp / soft, differingFromBothNeighbours(two), differingFromBothNeighbours(blurred));
    EXPECT_GT(sharp, 1.5 * soft);
    EXPECT_LT(meanDifferenceFromHalved(one, two), 6.0);

    // Drawn for the size, not the 1x picture with its pixels doubled: much of it differs from that.
    long doubledDiffers = 0;
    for (int y = 0; y < two.height; ++y)
        for (int x = 0; x < two.width; ++x)
            doubledDiffers += !std::equal(two.at(x, y), two.at(x, y) + 3, one.at(x / 2, y / 2));
    const double share = static_cast<double>(doubledDiffers) / (static_cast<double>(two.width) * two.height);
    std::printf("pixels differing from the 1x picture doubled: %.3f\n", share);
    EXPECT_GT(share, 0.1);  // 0 when the 1x images are drawn doubled; 0.165 with the 2x artwork
    fs::remove_all(dir);
}
