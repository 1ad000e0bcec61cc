// The OpenGL 3.2 core-profile renderer. Textures, visuals and the scene are plain bookkeeping that
// needs no graphics context; graphics objects are made lazily while a frame is drawn and dropped
// when the surface goes away, so handles survive detaching and re-attaching the native view.
//
// HiDPI: `render` scales the logical size to the drawable. At twice the logical size it draws each
// image from its 2x version (the ResourceSpec's doublePixels) one texel to one pixel, at other scales above
// 1 from the 2x version with linear filtering, and at 1 (or below) from the image itself exactly
// as always. The 2x pixels are made only while such a scale is drawn.
//
// Textures: every texture handle of one resource id shows the same image, so the graphics texture
// is made once per id (fifteen knobs of one filmstrip share one), in this renderer's context.
// While a surface is attached the renderer keeps the pixels it uploaded, so that rebuilding the
// graphics objects (a new context after a resize) decodes nothing again; detaching lets them go.
//
// Threading: user-interface thread only, like the whole toolkit. Every graphics call happens inside
// render, destroyTexture, attachToSurface or detachFromSurface, with the bound context made current
// by the renderer itself and the previously current context restored afterwards.
#pragma once

#include "vexagui/platform/IVexaOpenGLContext.h"
#include "vexagui/platform/VexaNativeSurface.h"
#include "vexagui/render/IVexaGuiRenderer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vexagui {

struct VexaGlFunctions;

class VexaRendererOpenGL : public IVexaGuiRenderer
{
public:
    using HostRequest = vexagui::HostRequest;

    static constexpr const char* kVertexShaderSource =
        "#version 150\nin vec2 aPos;\nin vec2 aUV;\nout vec2 vUV;\nuniform vec2 uScreenSize;\nvoid main() {\n"
        "    vec2 ndc;\n    ndc.x = aPos.x / uScreenSize.x * 2.0 - 1.0;\n    ndc.y = 1.0 - aPos.y / uScreenSize.y * 2.0;\n"
        "    gl_Position = vec4(ndc, 0.0, 1.0);\n    vUV = aUV;\n}\n";
    static constexpr const char* kFragmentShaderSource =
        "#version 150\nin vec2 vUV;\nout vec4 fragColor;\nuniform sampler2D uTexture;\nuniform vec4 uColor;\n"
        "void main() {\n    fragColor = texture(uTexture, vUV) * uColor;\n}\n";

    static constexpr int32_t kQuad = 0;
    static constexpr int32_t kSolidRect = 1;

    struct TextureState
    {
        uint32_t handle = 0;
        ResourceSpec spec;
        uint32_t glTexture = 0; // the image's graphics texture as last drawn; 0 while none
    };


    /** How a frame samples the images, from its drawable-to-logical ratio. */
    enum class Sampling
    {
        kOriginal,     // ratio 1 (or below): the images themselves, nearest
        kDoubleExact,  // ratio 2: the 2x versions one to one, nearest
        kDoubleLinear, // any other ratio above 1: the 2x versions, linear
    };
    static Sampling samplingFor (float logicalWidth, float logicalHeight, int drawableWidth, int drawableHeight);

    struct VisualState
    {
        int32_t kind = kQuad;
        TextureHandle texture;
        Rect dst;
        Rect src;
        Color color {255, 255, 255, 255};
    };

    struct DrawCommand
    {
        uint32_t texture = 0;
        Rect dst;
        Rect src;
        Rect uv; // normalised texture coordinates
        Color color;
        int32_t kind = kQuad;
    };

    VexaRendererOpenGL ();
    /** Frees the bookkeeping only: graphics objects must already be gone (detachFromSurface). */
    ~VexaRendererOpenGL () override;

    VexaRendererOpenGL (const VexaRendererOpenGL&) = delete;
    VexaRendererOpenGL& operator= (const VexaRendererOpenGL&) = delete;

    TextureHandle createTexture (int resourceId) override;
    void destroyTexture (TextureHandle texture) override;
    VisualHandle createQuad (TextureHandle texture, const Rect& dst, const Rect& src) override;
    void updateQuad (VisualHandle visual, const Rect& dst, const Rect& src) override;
    VisualHandle createSolidRect (const Rect& dst, const Color& color) override;
    void updateSolidRect (VisualHandle visual, const Rect& dst, const Color& color) override;
    void destroyVisual (VisualHandle visual) override;
    void setScene (const VisualHandle* handles, std::size_t count) override;
    void requestRedraw () override;
    void requestOpenFileDialog () override;
    void requestSaveFileDialog (const char* suggestedName) override;
    void beginTextEntry (const Rect& area, const char* initialText) override;
    /** Draws the scene into the bound context's surface, scaled from the logical size to the drawable
        size, and presents it. Nothing (and no swap) without an attached context or while the shaders
        fail to build (their messages then go to standard error on every frame). */
    void render (float logicalWidth, float logicalHeight, int drawableWidth, int drawableHeight) override;

    /** Replaces the resource table; a later spec with the same id wins. Existing textures made from a
        listed id take the new spec, shown once their graphics objects are rebuilt. */
    void setResources (const std::vector<ResourceSpec>& specs);
    void setResources (const ResourceSpec* specs, std::size_t count);

    /** Binds `glContext` to a native surface, releasing the objects of a previous one first. False
        without a bound context or when it cannot attach. Requests a redraw on success. */
    bool attachToSurface (const VexaNativeSurface& surface);
    /** Releases every graphics object and the pixels kept for them (handles stay, and pixels that
        cannot be made again) and detaches the bound context. */
    void detachFromSurface ();

    void clearPendingHostRequest () { pendingRequest.clear (); }

    /** For tests: build with other shader texts (e.g. a broken one) from the next build on. */
    void setShaderSourcesForTesting (const char* vertexSource, const char* fragmentSource);

    // Read-only views of the bookkeeping, for tests and tools.
    const std::unordered_map<uint32_t, TextureState>& textureStates () const { return textures; }
    const std::unordered_map<uint32_t, VisualState>& visualStates () const { return visuals; }
    /** Graphics textures that exist now (the white one not counted). */
    std::size_t graphicsTextureCount () const;
    const std::vector<VisualHandle>& sceneList () const { return scene; }
    bool isGlReady () const { return glReady; }

    // Written and read directly by the plug view bridge.
    HostRequest pendingRequest;
    IVexaOpenGLContext* glContext = nullptr; // not owned
    std::function<void ()> redrawCallback;

private:
    /** The graphics side of one resource id, shared by all its textures. */
    struct ImageState
    {
        uint32_t glTexture = 0;
        bool glDouble = false;      // glTexture holds the 2x version
        bool glLinear = false;      // ... sampled with linear filtering
        bool doubleMissing = false; // no usable 2x version: drawn from the image itself
        bool undecodable = false;   // the pixels could not be made: not asked again
    };

    bool beginFrame (float logicalWidth, float logicalHeight, int drawableWidth, int drawableHeight);
    void buildDrawCommands ();
    void drawCommands ();
    void endFrame ();
    // Makes or swaps the image's graphics texture for this frame's sampling; returns its name.
    uint32_t prepareImage (const ResourceSpec& spec);
    void uploadOriginal (ImageState& image, const ResourceSpec& spec);
    bool uploadDoubleResolution (ImageState& image, const ResourceSpec& spec);
    uint32_t uploadPixels (const uint8_t* pixels, int32_t width, int32_t height);
    void keepWhileAttached (const ImagePixels& pixels, const std::shared_ptr<const uint8_t>& bytes);
    bool ensureGlResources ();
    /** With `current` false the names are only forgotten: the context is not ours to call into. */
    void destroyGlResources (bool current);
    uint32_t compileShader (uint32_t type, const char* source);

    uint32_t nextTextureId = 1;
    uint32_t nextVisualId = 1;
    std::unordered_map<int32_t, ResourceSpec> resources;
    std::unordered_map<uint32_t, TextureState> textures;
    std::unordered_map<uint32_t, VisualState> visuals;
    // Keyed by resource id: all textures of one id carry the same spec (setResources updates them
    // together), so they can share one graphics texture. Per renderer, because names belong to a
    // context.
    std::unordered_map<int32_t, ImageState> images;
    std::vector<VisualHandle> scene;
    Sampling frameSampling = Sampling::kOriginal; // decided at the start of every frame
    // Pixels made for the images uploaded while this surface is attached (1x and 2x); see the top.
    std::vector<std::shared_ptr<const uint8_t>> imagesInUse;

    bool glReady = false;
    uint32_t program = 0;
    uint32_t vertexBuffer = 0;
    uint32_t vertexArray = 0;
    uint32_t whiteTexture = 0;
    int32_t locPos = -1;
    int32_t locUV = -1;
    int32_t locScreenSize = -1;
    int32_t locTexture = -1;
    int32_t locColor = -1;

    std::unique_ptr<VexaGlFunctions> gl;
    std::vector<DrawCommand> commands; // rebuilt every frame; keeps its capacity
    const char* vertexSource = kVertexShaderSource;
    const char* fragmentSource = kFragmentShaderSource;
};

} // namespace vexagui
