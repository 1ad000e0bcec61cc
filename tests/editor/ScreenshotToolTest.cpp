// vorlix-render --screenshot through the built bundle: a PNG of the editor's size that shows the
// panel, shows the picked program, and is also made where there is no display (own Xvfb).
#include <gtest/gtest.h>

#include <png.h>

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
