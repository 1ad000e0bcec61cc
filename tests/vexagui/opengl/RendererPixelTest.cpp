// The renderer drawing into a real X window through GLX (Mesa's software rasteriser under Xvfb);
// every frame's back buffer is read back just before it is presented.
#include <gtest/gtest.h> // before the X headers: their None macro clashes with gtest's

#include "../platform/X11TestHost.h"

#include "vexagui/platform/x11/VexaOpenGLContextGLX.h"
#include "vexagui/platform/x11/VexaViewX11.h"
#include "vexagui/render/opengl/VexaRendererOpenGL.h"

#include <GL/gl.h>
#include <GL/glx.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace vexagui;
using vexagui::test::X11TestHost;

namespace {

struct Pixel
{
    int r, g, b;
    bool operator== (const Pixel&) const = default;
};
std::ostream& operator<< (std::ostream& os, const Pixel& p)
{
    return os << "(" << p.r << ", " << p.g << ", " << p.b << ")";
}

// The GLX context with a look at each frame: the back buffer is copied out right before the swap.
class ReadbackContext final : public IVexaOpenGLContext
{
public:
    bool attachToSurface (const VexaNativeSurface& s) override { return inner.attachToSurface (s); }
    void detachFromSurface () override { inner.detachFromSurface (); }
    bool isAttached () const override { return inner.isAttached (); }
    bool makeCurrent () override { return inner.makeCurrent (); }
    void releaseCurrent () override { inner.releaseCurrent (); }
    void swapBuffers () override
    {
        GLint viewport[4] = {};
        glGetIntegerv (GL_VIEWPORT, viewport);
        width = viewport[2];
        height = viewport[3];
        pixels.assign (static_cast<size_t> (width * height * 4), 0);
        glReadBuffer (GL_BACK);
        glPixelStorei (GL_PACK_ALIGNMENT, 1);
        glReadPixels (0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data ());
        ++swaps;
        inner.swapBuffers ();
    }

    /** Top-left origin, like the scene. */
    Pixel at (int x, int y) const
    {
        const size_t i = (static_cast<size_t> (height - 1 - y) * static_cast<size_t> (width) + static_cast<size_t> (x)) * 4;
        return {pixels[i], pixels[i + 1], pixels[i + 2]};
    }

    VexaOpenGLContextGLX inner;
    std::vector<uint8_t> pixels;
    int width = 0, height = 0, swaps = 0;
};

ResourceSpec image (int32_t id, int32_t w, int32_t h, const std::vector<uint32_t>& rgba)
{
    ResourceSpec s;
    s.id = id;
    s.width = w;
    s.height = h;
    s.flags = ResourceSpec::kHasPixels;
    for (uint32_t c : rgba)
        for (int shift : {24, 16, 8, 0})
            s.pixels.push_back (static_cast<uint8_t> (c >> shift));
    return s;
}

bool near (const Pixel& a, const Pixel& b, int tolerance = 1)
{
    return std::abs (a.r - b.r) <= tolerance && std::abs (a.g - b.g) <= tolerance && std::abs (a.b - b.b) <= tolerance;
}

const Pixel kBlack {0, 0, 0}, kRed {255, 0, 0}, kGreen {0, 255, 0}, kBlue {0, 0, 255}, kWhite {255, 255, 255};

class RendererPixelTest : public ::testing::Test
{
protected:
    void SetUp () override { ASSERT_TRUE (host.ok ()); }
    void TearDown () override
    {
        renderer.detachFromSurface ();
        view.detach ();
    }

    void open (int width, int height)
    {
        ASSERT_TRUE (view.attachToSurface (VexaNativeSurface::x11Window (host.window), width, height));
        renderer.glContext = &context;
        ASSERT_TRUE (renderer.attachToSurface (view.nativeSurface ()));
    }
    void scene (std::initializer_list<VisualHandle> list) { renderer.setScene (list.begin (), list.size ()); }
    void frame (float lw, float lh, int dw, int dh)
    {
        const int before = context.swaps;
        renderer.render (lw, lh, dw, dh);
        ASSERT_EQ (context.swaps, before + 1);
        ASSERT_EQ (context.width, dw);
        ASSERT_EQ (context.height, dh);
    }

    X11TestHost host {1280, 720};
    VexaViewX11 view;
    ReadbackContext context;
    VexaRendererOpenGL renderer;
};

} // namespace

TEST_F (RendererPixelTest, SolidRectanglesWithExactEdgesOnABlackBackground)
{
    open (100, 60);
    const VisualHandle red = renderer.createSolidRect ({10, 10, 20, 20}, {255, 0, 0, 255});
    const VisualHandle blue = renderer.createSolidRect ({25, 5, 30, 10}, {0, 0, 255, 255});
    scene ({red, blue});
    frame (100, 60, 100, 60);

    const struct { int x, y; Pixel p; } probes[] = {
        {10, 10, kRed}, {29, 29, kRed}, {9, 10, kBlack}, {10, 9, kBlack}, {30, 29, kBlack}, {29, 30, kBlack},
        {26, 12, kBlue}, {26, 15, kRed}, {54, 14, kBlue}, {55, 14, kBlack}, {0, 0, kBlack}, {99, 59, kBlack},
    };
    for (const auto& p : probes)
        EXPECT_EQ (context.at (p.x, p.y), p.p) << p.x << "," << p.y;

    // The renderer hands the thread back: nothing of ours stays current.
    EXPECT_EQ (glXGetCurrentContext (), nullptr);
}

TEST_F (RendererPixelTest, AlphaBlendingAndTheSameVisualTwice)
{
    open (60, 20);
    const VisualHandle white = renderer.createSolidRect ({0, 0, 40, 20}, {255, 255, 255, 255});
    const VisualHandle clear = renderer.createSolidRect ({0, 0, 10, 20}, {255, 0, 0, 0});
    const VisualHandle half = renderer.createSolidRect ({10, 0, 10, 20}, {255, 0, 0, 128});
    const VisualHandle halfOnBlack = renderer.createSolidRect ({40, 0, 20, 20}, {255, 0, 0, 128});
    scene ({white, clear, half, halfOnBlack});
    frame (60, 20, 60, 20);
    EXPECT_EQ (context.at (5, 5), kWhite) << "alpha 0 leaves what lies below";
    EXPECT_TRUE (near (context.at (15, 5), {255, 127, 127})) << context.at (15, 5);
    EXPECT_TRUE (near (context.at (50, 5), {128, 0, 0})) << context.at (50, 5);

    // Listed twice, a half-transparent rectangle blends twice: 128/255 + (1 - 128/255) * 128/255.
    scene ({halfOnBlack, halfOnBlack});
    frame (60, 20, 60, 20);
    EXPECT_TRUE (near (context.at (50, 5), {192, 0, 0})) << context.at (50, 5);
}

TEST_F (RendererPixelTest, TexturedQuadsWithSourceRectanglesTopRowFirst)
{
    open (80, 40);
    // 4 x 2 texels: the top row red, green, blue, white; the bottom row all grey.
    renderer.setResources ({image (128, 4, 2, {0xff0000ff, 0x00ff00ff, 0x0000ffff, 0xffffffff, 0x808080ff, 0x808080ff,
                                               0x808080ff, 0x808080ff})});
    const TextureHandle t = renderer.createTexture (128);
    const VisualHandle whole = renderer.createQuad (t, {0, 0, 40, 20}, {0, 0, 4, 2});
    const VisualHandle middle = renderer.createQuad (t, {40, 0, 40, 40}, {1, 0, 2, 2}); // green, blue over grey
    scene ({whole, middle});
    frame (80, 40, 80, 40);

    const struct { int x, y; Pixel p; } probes[] = {
        {5, 5, kRed}, {15, 5, kGreen}, {25, 5, kBlue}, {35, 5, kWhite}, {5, 15, {128, 128, 128}}, {5, 25, kBlack},
        {45, 5, kGreen}, {75, 5, kBlue}, {45, 35, {128, 128, 128}}, {59, 19, kGreen}, {60, 19, kBlue},
    };
    for (const auto& p : probes)
        EXPECT_EQ (context.at (p.x, p.y), p.p) << p.x << "," << p.y;

    // A new source rectangle takes effect on the next frame; the texture is not uploaded again.
    renderer.updateQuad (middle, {40, 0, 40, 40}, {3, 0, 1, 1});
    frame (80, 40, 80, 40);
    EXPECT_EQ (context.at (45, 35), kWhite);
}

TEST_F (RendererPixelTest, WhatCannotBeDrawnIsSkippedAndTheRestDraws)
{
    open (40, 10);
    renderer.setResources ({image (140, 1, 1, {0xff0000ff}), [] {
                                ResourceSpec short_ = image (141, 4, 4, {0xff0000ff}); // 4 of 64 bytes
                                return short_;
                            }()});
    const VisualHandle green = renderer.createSolidRect ({0, 0, 40, 10}, {0, 255, 0, 255});
    const VisualHandle unknownImage = renderer.createQuad (renderer.createTexture (999), {0, 0, 10, 10}, {0, 0, 1, 1});
    const VisualHandle truncated = renderer.createQuad (renderer.createTexture (141), {0, 0, 10, 10}, {0, 0, 1, 1});
    const TextureHandle doomed = renderer.createTexture (140);
    const VisualHandle orphan = renderer.createQuad (doomed, {10, 0, 10, 10}, {0, 0, 1, 1});
    const VisualHandle gone = renderer.createSolidRect ({20, 0, 10, 10}, {255, 0, 0, 255});
    const VisualHandle blue = renderer.createSolidRect ({30, 0, 10, 10}, {0, 0, 255, 255});
    scene ({green, unknownImage, truncated, orphan, gone, VisualHandle {0}, VisualHandle {4242}, blue});
    frame (40, 10, 40, 10);
    EXPECT_EQ (context.at (15, 5), kRed) << "the texture is drawn while it exists";

    renderer.destroyTexture (doomed);
    renderer.destroyVisual (gone);
    EXPECT_EQ (glXGetCurrentContext (), nullptr);
    frame (40, 10, 40, 10);
    EXPECT_EQ (context.at (5, 5), kGreen);
    EXPECT_EQ (context.at (15, 5), kGreen);
    EXPECT_EQ (context.at (25, 5), kGreen);
    EXPECT_EQ (context.at (35, 5), kBlue);

    // An empty scene shows only the background.
    renderer.setScene (nullptr, 0);
    frame (40, 10, 40, 10);
    EXPECT_EQ (context.at (35, 5), kBlack);
}

TEST_F (RendererPixelTest, LogicalUnitsScaleToDevicePixels)
{
    open (1130, 520);
    renderer.setResources ({image (150, 2, 1, {0x00ff00ff, 0x0000ffff})});
    const VisualHandle dot = renderer.createSolidRect ({10, 10, 1, 1}, {255, 0, 0, 255});
    const VisualHandle texels = renderer.createQuad (renderer.createTexture (150), {100, 50, 2, 1}, {0, 0, 2, 1});
    const VisualHandle corner = renderer.createSolidRect ({564, 259, 1, 1}, {255, 255, 255, 255});
    scene ({dot, texels, corner});
    frame (565, 260, 1130, 520);

    const struct { int x, y; Pixel p; } probes[] = {
        {20, 20, kRed},     {21, 21, kRed},    {19, 20, kBlack},   {22, 21, kBlack},  {20, 22, kBlack},
        {200, 100, kGreen}, {201, 101, kGreen}, {202, 100, kBlue}, {203, 101, kBlue}, {204, 100, kBlack},
        {1128, 518, kWhite}, {1129, 519, kWhite}, {1127, 517, kBlack},
    };
    for (const auto& p : probes)
        EXPECT_EQ (context.at (p.x, p.y), p.p) << p.x << "," << p.y;
}

TEST_F (RendererPixelTest, DetachAndReattachGiveTheIdenticalPicture)
{
    open (64, 48);
    std::vector<uint32_t> checker;
    for (int i = 0; i < 16; ++i)
        checker.push_back ((i + i / 4) % 2 ? 0xffcc00ffu : 0x3366ff80u);
    renderer.setResources ({image (160, 4, 4, checker)});
    const TextureHandle t = renderer.createTexture (160);
    const VisualHandle back = renderer.createSolidRect ({0, 0, 64, 48}, {20, 40, 60, 255});
    const VisualHandle quad = renderer.createQuad (t, {4, 4, 40, 40}, {0, 0, 4, 4});
    const VisualHandle veil = renderer.createSolidRect ({30, 10, 30, 30}, {255, 255, 255, 100});
    scene ({back, quad, veil});
    frame (64, 48, 64, 48);
    const std::vector<uint8_t> first = context.pixels;
    ASSERT_TRUE (renderer.isGlReady ());
    ASSERT_NE (renderer.textureStates ().at (t.id).glTexture, 0u);

    renderer.detachFromSurface ();
    EXPECT_FALSE (context.isAttached ());
    EXPECT_FALSE (renderer.isGlReady ());
    EXPECT_EQ (renderer.textureStates ().at (t.id).glTexture, 0u);
    renderer.render (64, 48, 64, 48); // no surface: nothing drawn, nothing presented
    EXPECT_EQ (context.swaps, 1);

    view.detach ();
    ASSERT_TRUE (view.attachToSurface (VexaNativeSurface::x11Window (host.window), 64, 48));
    ASSERT_TRUE (renderer.attachToSurface (view.nativeSurface ()));
    frame (64, 48, 64, 48);
    EXPECT_NE (renderer.textureStates ().at (t.id).glTexture, 0u);
    EXPECT_EQ (context.pixels, first);

    // Re-attaching while attached (a new surface) rebuilds as well.
    ASSERT_TRUE (renderer.attachToSurface (view.nativeSurface ()));
    frame (64, 48, 64, 48);
    EXPECT_EQ (context.pixels, first);
}

TEST_F (RendererPixelTest, BrokenShadersAreReportedOnEveryFrameAndNothingIsPresented)
{
    open (20, 20);
    const VisualHandle v = renderer.createSolidRect ({0, 0, 20, 20}, {255, 0, 0, 255});
    scene ({v});
    const struct { const char* vertex; const char* fragment; const char* message; } cases[] = {
        {"#version 150\nvoid main() { this is not a shader; }\n", nullptr, "[VexaRendererOpenGL] shader compile failed: "},
        {nullptr, "#version 150\nout vec4 c;\nvoid main() { c = undefinedThing; }\n",
         "[VexaRendererOpenGL] shader compile failed: "},
        // Both compile, but the fragment stage has no entry point.
        {nullptr, "#version 150\nout vec4 c;\nvoid notMain() { c = vec4(1.0); }\n",
         "[VexaRendererOpenGL] program link failed: "},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.message);
        renderer.setShaderSourcesForTesting (c.vertex, c.fragment);
        testing::internal::CaptureStderr ();
        renderer.render (20, 20, 20, 20);
        renderer.render (20, 20, 20, 20);
        const std::string err = testing::internal::GetCapturedStderr ();
        EXPECT_EQ (context.swaps, 0);
        EXPECT_FALSE (renderer.isGlReady ());
        const size_t first = err.find (c.message);
        ASSERT_NE (first, std::string::npos) << err;
        EXPECT_NE (err.find (c.message, first + 1), std::string::npos) << "retried on the next frame: " << err;
        EXPECT_EQ (glXGetCurrentContext (), nullptr);
    }

    renderer.setShaderSourcesForTesting (nullptr, nullptr);
    testing::internal::CaptureStderr ();
    frame (20, 20, 20, 20);
    EXPECT_EQ (testing::internal::GetCapturedStderr (), "");
    EXPECT_EQ (context.at (10, 10), kRed);
}

TEST_F (RendererPixelTest, DrawnThroughTheViewsDrawCallback)
{
    open (120, 80);
    const VisualHandle v = renderer.createSolidRect ({20, 20, 40, 20}, {0, 255, 0, 255});
    scene ({v});
    renderer.redrawCallback = [this] { view.requestRedraw (); };
    view.setDrawCallback ([this] (int w, int h) { renderer.render (120, 80, w, h); });
    renderer.requestRedraw ();
    renderer.requestRedraw ();
    EXPECT_TRUE (view.drawIfRequested ());
    EXPECT_EQ (context.swaps, 1);
    EXPECT_EQ (context.at (30, 30), kGreen);

    // Presented: nothing is left to draw until the next request.
    EXPECT_FALSE (view.drawIfRequested ());
    EXPECT_EQ (context.swaps, 1);
}

TEST_F (RendererPixelTest, RepeatedAttachRenderDetachCycles)
{
    renderer.setResources ({image (170, 2, 2, {0xff0000ff, 0x00ff00ff, 0x0000ffff, 0xffffffff})});
    const VisualHandle q = renderer.createQuad (renderer.createTexture (170), {0, 0, 8, 8}, {0, 0, 2, 2});
    scene ({q});
    for (int i = 0; i < 4; ++i)
    {
        open (16, 16);
        frame (16, 16, 16, 16);
        EXPECT_EQ (context.at (1, 1), kRed);
        EXPECT_EQ (context.at (6, 6), kWhite);
        renderer.detachFromSurface ();
        view.detach ();
    }
    renderer.glContext = nullptr;
}

// Pixels made on demand as the resource pack's are (a new copy whenever nobody holds the last
// one), counting how often they are made; with no bytes it stands for an image that cannot be
// decoded.
class CountingSource final : public IVexaImageSource
{
public:
    CountingSource (std::size_t count, const std::vector<uint32_t>& rgba) : size (count)
    {
        for (uint32_t c : rgba)
            for (int shift : {24, 16, 8, 0})
                bytes.push_back (static_cast<uint8_t> (c >> shift));
    }
    std::size_t byteCount () const override { return size; }
    std::shared_ptr<const uint8_t> acquire () const override
    {
        if (auto live = made.lock ())
            return live;
        ++asked;
        if (bytes.empty ())
            return nullptr;
        const auto copy = std::make_shared<const std::vector<uint8_t>> (bytes);
        std::shared_ptr<const uint8_t> live (copy, copy->data ());
        made = live;
        return live;
    }
    bool held () const { return ! made.expired (); }

    std::size_t size;
    std::vector<uint8_t> bytes;
    mutable std::weak_ptr<const uint8_t> made;
    mutable int asked = 0; // times made (or failed to be)
};

// Above scale 1 an image is drawn from its 2x version: one texel per pixel at scale 2, linearly
// filtered at 1.5; at scale 1 from the image itself, and the 2x version is not even made.
TEST_F (RendererPixelTest, DoubleResolutionVersionsAreUsedOnlyAboveScaleOne)
{
    open (200, 100);
    // 1x: 2 x 1 texels, green and blue. 2x: 4 x 2 texels, top row red, white, black, white; the
    // bottom row cyan throughout. 151 has no 2x version: it is drawn from its 1x image at every scale.
    const CountingSource twice (32, {0xff0000ffu, 0xffffffffu, 0x000000ffu, 0xffffffffu, 0x00ffffffu, 0x00ffffffu,
                                     0x00ffffffu, 0x00ffffffu});
    ResourceSpec withDouble = image (150, 2, 1, {0x00ff00ff, 0x0000ffff});
    withDouble.doublePixels = ImagePixels (twice);
    renderer.setResources ({withDouble, image (151, 2, 2, {0xff0000ff, 0xff0000ff, 0xff0000ff, 0xff0000ff})});
    const VisualHandle quad = renderer.createQuad (renderer.createTexture (150), {10, 10, 2, 1}, {0, 0, 2, 1});
    const VisualHandle plain = renderer.createQuad (renderer.createTexture (151), {20, 10, 2, 2}, {0, 0, 2, 2});
    scene ({quad, plain});
    const Pixel kCyan {0, 255, 255};

    frame (50, 25, 50, 25);
    EXPECT_EQ (twice.asked, 0) << "no 2x version is made while scale 1 is drawn";
    EXPECT_EQ (context.at (10, 10), kGreen);
    EXPECT_EQ (context.at (11, 10), kBlue);

    frame (50, 25, 100, 50); // scale 2
    EXPECT_EQ (twice.asked, 1);
    const struct { int x, y; Pixel p; } exact[] = {
        {20, 20, kRed}, {21, 20, kWhite}, {22, 20, kBlack}, {23, 20, kWhite}, {20, 21, kCyan}, {23, 21, kCyan},
        {40, 20, kRed}, {43, 23, kRed}, {19, 20, kBlack}, {24, 21, kBlack},
    };
    for (const auto& p : exact)
        EXPECT_EQ (context.at (p.x, p.y), p.p) << p.x << "," << p.y;

    frame (50, 25, 75, 38); // scale 1.5: pixel 16's centre falls between texels 1 and 2 (white, black)
    const Pixel between = context.at (16, 15);
    EXPECT_TRUE (near (between, {128, 128, 128}, 8)) << between;
    EXPECT_EQ (twice.asked, 1) << "switching between 2 and 1.5 only changes the filter";

    frame (50, 25, 50, 25); // back to 1: the original images again, nearest
    EXPECT_EQ (context.at (10, 10), kGreen);
    EXPECT_EQ (context.at (11, 10), kBlue);
    frame (50, 25, 100, 50); // and 2 again: the 2x pixels were kept
    EXPECT_EQ (context.at (21, 20), kWhite);
    EXPECT_EQ (twice.asked, 1);
}

// Many textures of one image (the knobs of one filmstrip) share one graphics texture in the
// renderer's context. The pixels made for it stay while the surface is attached, so a rebuild
// after a resize makes nothing again; detaching lets them go. An image that cannot be made is
// asked for once, not on every frame.
TEST_F (RendererPixelTest, OneGraphicsTexturePerImageAndNothingMadeTwiceWhileAttached)
{
    open (200, 100);
    const CountingSource once (8, {0x00ff00ff, 0x0000ffff});
    const CountingSource twice (32, std::vector<uint32_t> (8, 0xff0000ffu));
    const CountingSource damaged (8, {});
    ResourceSpec knob = ResourceSpec::placeholder (160, 2, 1);
    knob.flags = ResourceSpec::kHasPixels;
    knob.pixels = ImagePixels (once);
    knob.doublePixels = ImagePixels (twice);
    ResourceSpec broken = ResourceSpec::placeholder (161, 2, 1);
    broken.flags = ResourceSpec::kHasPixels;
    broken.pixels = ImagePixels (damaged);
    renderer.setResources ({knob, broken});

    std::vector<TextureHandle> knobs;
    std::vector<VisualHandle> visuals;
    for (int i = 0; i < 15; ++i)
    {
        knobs.push_back (renderer.createTexture (160));
        visuals.push_back (renderer.createQuad (knobs.back (), {static_cast<float> (3 * i), 0, 2, 1}, {0, 0, 2, 1}));
    }
    visuals.push_back (renderer.createQuad (renderer.createTexture (161), {0, 10, 2, 1}, {0, 0, 2, 1}));
    renderer.setScene (visuals.data (), visuals.size ());

    const struct { float scale; int x, y; Pixel p; } frames[] = {{1, 42, 0, kGreen}, {1, 42, 0, kGreen}, {2, 87, 1, kRed}};
    for (const auto& f : frames)
    {
        frame (100, 50, static_cast<int> (100 * f.scale), static_cast<int> (50 * f.scale));
        EXPECT_EQ (context.at (f.x, f.y), f.p) << "the fifteenth knob at scale " << f.scale;
        EXPECT_EQ (renderer.graphicsTextureCount (), 1u);
    }
    EXPECT_EQ (once.asked, 1);
    EXPECT_EQ (twice.asked, 1);
    EXPECT_EQ (damaged.asked, 1) << "a failed decoding is remembered";
    EXPECT_TRUE (once.held () && twice.held ()) << "kept while the surface is attached";

    // A rebuild on a new context (as after a resize) uploads the kept pixels again.
    ASSERT_TRUE (renderer.attachToSurface (view.nativeSurface ()));
    frame (100, 50, 200, 100);
    EXPECT_EQ (context.at (87, 1), kRed);
    EXPECT_EQ (twice.asked, 1);
    EXPECT_EQ (once.asked, 1);

    // The shared texture lives until the last of its textures is destroyed.
    for (std::size_t i = 1; i < knobs.size (); ++i)
        renderer.destroyTexture (knobs[i]);
    EXPECT_EQ (renderer.graphicsTextureCount (), 1u);
    frame (100, 50, 200, 100);
    EXPECT_EQ (context.at (1, 1), kRed);
    renderer.destroyTexture (knobs[0]);
    EXPECT_EQ (renderer.graphicsTextureCount (), 0u);

    renderer.detachFromSurface ();
    EXPECT_FALSE (once.held () || twice.held ()) << "closing lets the pixels go";
}

TEST (RendererSampling, ScaleDecidesTheVersionAndFilter)
{
    using S = VexaRendererOpenGL::Sampling;
    const struct { float lw, lh; int dw, dh; S s; } cases[] = {
        {565, 260, 565, 260, S::kOriginal},     {565, 260, 1130, 520, S::kDoubleExact},
        {565, 260, 848, 390, S::kDoubleLinear}, {565, 260, 1695, 780, S::kDoubleLinear},
        {565, 260, 300, 100, S::kOriginal},     {0, 260, 1130, 520, S::kOriginal},
        {565, 260, 570, 262, S::kOriginal},
    };
    for (const auto& c : cases)
        EXPECT_EQ (VexaRendererOpenGL::samplingFor (c.lw, c.lh, c.dw, c.dh), c.s) << c.dw << "x" << c.dh;
}
