// OpenGL renderer: bookkeeping, lazy graphics objects, one draw per visual.
#include "VexaRendererOpenGL.h"

#include "VexaGlFunctions.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <string>

namespace vexagui {

namespace {

// Four vertices of x, y (logical units) and u, v: 64 bytes, refilled for every visual.
struct Vertex
{
    float x, y, u, v;
};
static_assert (sizeof (Vertex) == 16);

constexpr GLuint kPosLocation = 0;
constexpr GLuint kUvLocation = 1;

// An image the GPU may read: a size, and at least width x height RGBA bytes behind it (fewer would
// make the upload read past the end of the pixels). Decided without making the pixels.
bool hasUploadableImage (const ResourceSpec& spec)
{
    if ((spec.flags & ResourceSpec::kHasPixels) == 0 || spec.pixels.empty () || spec.width <= 0 || spec.height <= 0)
        return false;
    const auto needed = static_cast<unsigned long long> (spec.width) * static_cast<unsigned long long> (spec.height) * 4ull;
    return spec.pixels.size () >= needed;
}

// A 2x version with at least (2 width) x (2 height) RGBA bytes behind it.
bool hasUploadableDouble (const ResourceSpec& spec)
{
    if (spec.doublePixels.empty () || spec.width <= 0 || spec.height <= 0)
        return false;
    const auto needed = 4ull * static_cast<unsigned long long> (spec.width) * static_cast<unsigned long long> (spec.height) * 4ull;
    return spec.doublePixels.size () >= needed;
}

void setFilter (const VexaGlFunctions& gl, bool linear)
{
    const GLint filter = linear ? GL_LINEAR : GL_NEAREST;
    gl.TexParameteri (GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    gl.TexParameteri (GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
}

std::string infoLog (const VexaGlFunctions& gl, GLuint object, bool isProgram)
{
    GLint length = 0;
    (isProgram ? gl.GetProgramiv : gl.GetShaderiv) (object, GL_INFO_LOG_LENGTH, &length);
    if (length <= 0)
        return {};
    std::string log (static_cast<size_t> (length), '\0');
    GLsizei written = 0;
    (isProgram ? gl.GetProgramInfoLog : gl.GetShaderInfoLog) (object, length, &written, log.data ());
    log.resize (static_cast<size_t> (std::clamp (written, 0, length)));
    return log;
}

} // namespace

VexaRendererOpenGL::VexaRendererOpenGL () : gl (std::make_unique<VexaGlFunctions> ()) {}

VexaRendererOpenGL::~VexaRendererOpenGL () = default;

// ---- bookkeeping ------------------------------------------------------------------------------

TextureHandle VexaRendererOpenGL::createTexture (int resourceId)
{
    const uint32_t id = nextTextureId++;
    TextureState state;
    state.handle = id;
    const auto it = resources.find (resourceId);
    state.spec = it != resources.end () ? it->second : ResourceSpec::placeholder (resourceId);
    textures.emplace (id, std::move (state));
    return TextureHandle {id};
}

void VexaRendererOpenGL::destroyTexture (TextureHandle texture)
{
    const auto it = textures.find (texture.id);
    if (it == textures.end ())
        return;
    const int32_t resourceId = it->second.spec.id;
    textures.erase (it);
    // The graphics texture goes with the last texture of its image.
    for (const auto& [id, state] : textures)
        if (state.spec.id == resourceId)
            return;
    const auto image = images.find (resourceId);
    if (image == images.end ())
        return;
    if (image->second.glTexture != 0 && glContext && glContext->isAttached () && glContext->makeCurrent ())
    {
        gl->DeleteTextures (1, &image->second.glTexture);
        glContext->releaseCurrent ();
    }
    images.erase (image);
}

std::size_t VexaRendererOpenGL::graphicsTextureCount () const
{
    std::size_t n = 0;
    for (const auto& [id, image] : images)
        n += image.glTexture != 0 ? 1 : 0;
    return n;
}

VisualHandle VexaRendererOpenGL::createQuad (TextureHandle texture, const Rect& dst, const Rect& src)
{
    const uint32_t id = nextVisualId++;
    visuals.emplace (id, VisualState {kQuad, texture, dst, src, Color {255, 255, 255, 255}});
    return VisualHandle {id};
}

void VexaRendererOpenGL::updateQuad (VisualHandle visual, const Rect& dst, const Rect& src)
{
    const auto it = visuals.find (visual.id);
    if (it == visuals.end ())
        return;
    it->second.dst = dst;
    it->second.src = src;
}

VisualHandle VexaRendererOpenGL::createSolidRect (const Rect& dst, const Color& color)
{
    const uint32_t id = nextVisualId++;
    visuals.emplace (id, VisualState {kSolidRect, TextureHandle {}, dst, Rect {}, color});
    return VisualHandle {id};
}

void VexaRendererOpenGL::updateSolidRect (VisualHandle visual, const Rect& dst, const Color& color)
{
    const auto it = visuals.find (visual.id);
    if (it == visuals.end ())
        return;
    it->second.dst = dst;
    it->second.color = color;
}

void VexaRendererOpenGL::destroyVisual (VisualHandle visual)
{
    visuals.erase (visual.id);
}

void VexaRendererOpenGL::setScene (const VisualHandle* handles, std::size_t count)
{
    if (! handles)
        count = 0;
    scene.assign (handles, handles + count);
}

void VexaRendererOpenGL::requestRedraw ()
{
    if (redrawCallback)
        redrawCallback ();
}

void VexaRendererOpenGL::requestOpenFileDialog ()
{
    pendingRequest.postOpenFileDialog ();
}

void VexaRendererOpenGL::requestSaveFileDialog (const char* suggestedName)
{
    pendingRequest.postSaveFileDialog (suggestedName);
}

void VexaRendererOpenGL::beginTextEntry (const Rect& area, const char* initialText)
{
    pendingRequest.postTextEntry (area, initialText);
}

void VexaRendererOpenGL::setResources (const std::vector<ResourceSpec>& specs)
{
    setResources (specs.data (), specs.size ());
}

void VexaRendererOpenGL::setResources (const ResourceSpec* specs, std::size_t count)
{
    resources.clear ();
    for (std::size_t i = 0; specs && i < count; ++i)
        resources.insert_or_assign (specs[i].id, specs[i]);
    // A texture already uploaded keeps its graphics object: the new pixels show after a rebuild.
    for (auto& [id, state] : textures)
    {
        const auto it = resources.find (state.spec.id);
        if (it != resources.end ())
            state.spec = it->second;
    }
    // New pixels may decode where the old did not, and may bring a 2x version: ask again.
    for (auto& [id, image] : images)
        if (resources.count (id) != 0)
            image.doubleMissing = image.undecodable = false;
}

VexaRendererOpenGL::Sampling VexaRendererOpenGL::samplingFor (float logicalWidth, float logicalHeight,
                                                              int drawableWidth, int drawableHeight)
{
    if (! (logicalWidth > 0.0f) || ! (logicalHeight > 0.0f))
        return Sampling::kOriginal;
    // The larger of the two ratios: a drawable rounded to whole pixels (848 x 390 for 565 x 260 at
    // 1.5) differs a little between the axes.
    const float ratio = std::max (static_cast<float> (drawableWidth) / logicalWidth,
                                  static_cast<float> (drawableHeight) / logicalHeight);
    if (ratio < 1.01f)
        return Sampling::kOriginal;
    return std::fabs (ratio - 2.0f) < 0.01f ? Sampling::kDoubleExact : Sampling::kDoubleLinear;
}

void VexaRendererOpenGL::setShaderSourcesForTesting (const char* vertex, const char* fragment)
{
    vertexSource = vertex ? vertex : kVertexShaderSource;
    fragmentSource = fragment ? fragment : kFragmentShaderSource;
}

// ---- surface binding --------------------------------------------------------------------------

bool VexaRendererOpenGL::attachToSurface (const VexaNativeSurface& surface)
{
    if (! glContext)
        return false;
    if (glContext->isAttached ())
    {
        const bool current = glContext->makeCurrent ();
        destroyGlResources (current);
        if (current)
            glContext->releaseCurrent ();
        glContext->detachFromSurface ();
    }
    if (! glContext->attachToSurface (surface))
        return false;
    glReady = false;
    requestRedraw ();
    return true;
}

void VexaRendererOpenGL::detachFromSurface ()
{
    // The editor is closing: the pixels kept for rebuilds may go, also when no context ever attached.
    imagesInUse.clear ();
    if (! glContext || ! glContext->isAttached ())
        return;
    const bool current = glContext->makeCurrent ();
    destroyGlResources (current);
    if (current)
        glContext->releaseCurrent ();
    glContext->detachFromSurface ();
}

void VexaRendererOpenGL::destroyGlResources (bool current)
{
    const bool calls = current && gl->loaded;
    for (auto& [id, image] : images)
    {
        if (image.glTexture != 0 && calls)
            gl->DeleteTextures (1, &image.glTexture);
        image.glTexture = 0;
        image.glDouble = image.glLinear = false;
    }
    for (auto& [id, state] : textures)
        state.glTexture = 0;
    if (calls)
    {
        if (whiteTexture != 0)
            gl->DeleteTextures (1, &whiteTexture);
        if (vertexBuffer != 0)
            gl->DeleteBuffers (1, &vertexBuffer);
        if (vertexArray != 0)
            gl->DeleteVertexArrays (1, &vertexArray);
        if (program != 0)
            gl->DeleteProgram (program);
    }
    whiteTexture = vertexBuffer = vertexArray = program = 0;
    locPos = locUV = locScreenSize = locTexture = locColor = -1;
    glReady = false;
}

// ---- frame ------------------------------------------------------------------------------------

void VexaRendererOpenGL::render (float logicalWidth, float logicalHeight, int drawableWidth, int drawableHeight)
{
    if (! beginFrame (logicalWidth, logicalHeight, drawableWidth, drawableHeight))
        return;
    buildDrawCommands ();
    drawCommands ();
    endFrame ();
}

bool VexaRendererOpenGL::beginFrame (float logicalWidth, float logicalHeight, int drawableWidth, int drawableHeight)
{
    if (! glContext || ! glContext->isAttached () || ! glContext->makeCurrent ())
        return false;
    if (! ensureGlResources ())
    {
        glContext->releaseCurrent ();
        return false;
    }
    frameSampling = samplingFor (logicalWidth, logicalHeight, drawableWidth, drawableHeight);
    gl->Viewport (0, 0, std::max (drawableWidth, 0), std::max (drawableHeight, 0));
    gl->Disable (GL_DEPTH_TEST);
    gl->Disable (GL_CULL_FACE);
    gl->ClearColor (0.0f, 0.0f, 0.0f, 1.0f);
    gl->Clear (GL_COLOR_BUFFER_BIT);
    gl->Enable (GL_BLEND);
    gl->BlendFunc (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    gl->UseProgram (program);
    gl->Uniform2f (locScreenSize, logicalWidth, logicalHeight);
    gl->Uniform1i (locTexture, 0);
    gl->BindBuffer (GL_ARRAY_BUFFER, vertexBuffer);
    gl->BindVertexArray (vertexArray);
    gl->EnableVertexAttribArray (kPosLocation);
    gl->EnableVertexAttribArray (kUvLocation);
    gl->VertexAttribPointer (kPosLocation, 2, GL_FLOAT, GL_FALSE, sizeof (Vertex), reinterpret_cast<const void*> (0));
    gl->VertexAttribPointer (kUvLocation, 2, GL_FLOAT, GL_FALSE, sizeof (Vertex),
                             reinterpret_cast<const void*> (offsetof (Vertex, u)));
    return true;
}

void VexaRendererOpenGL::buildDrawCommands ()
{
    commands.clear ();
    commands.reserve (scene.size ());
    for (const VisualHandle handle : scene)
    {
        const auto vit = visuals.find (handle.id);
        if (vit == visuals.end ())
            continue;
        const VisualState& v = vit->second;
        DrawCommand c;
        c.kind = v.kind;
        c.dst = v.dst;
        c.src = v.src;
        c.color = v.color;
        if (v.kind != kQuad)
        {
            commands.push_back (c);
            continue;
        }
        const auto tit = textures.find (v.texture.id);
        if (tit == textures.end ())
            continue;
        TextureState& t = tit->second;
        t.glTexture = prepareImage (t.spec);
        c.texture = t.glTexture;
        if (t.spec.width > 0 && t.spec.height > 0)
        {
            const auto w = static_cast<float> (t.spec.width), h = static_cast<float> (t.spec.height);
            c.uv = Rect {v.src.x / w, v.src.y / h, v.src.width / w, v.src.height / h};
        }
        commands.push_back (c);
    }
}

void VexaRendererOpenGL::drawCommands ()
{
    for (const DrawCommand& c : commands)
    {
        const bool solid = c.kind == kSolidRect;
        const GLuint texture = solid ? whiteTexture : c.texture;
        if (texture == 0)
            continue; // a quad whose texture has no image
        const Color color = solid ? c.color : Color {255, 255, 255, 255};
        const Rect uv = solid ? Rect {0.0f, 0.0f, 1.0f, 1.0f} : c.uv;

        const float left = c.dst.x, top = c.dst.y;
        const float right = left + c.dst.width, bottom = top + c.dst.height;
        const float uLeft = uv.x, vTop = uv.y, uRight = uLeft + uv.width, vBottom = vTop + uv.height;
        const Vertex vertices[4] = {
            {left, top, uLeft, vTop}, {right, top, uRight, vTop}, {left, bottom, uLeft, vBottom}, {right, bottom, uRight, vBottom}};

        gl->ActiveTexture (GL_TEXTURE0);
        gl->BindTexture (GL_TEXTURE_2D, texture);
        gl->Uniform4f (locColor, color.r / 255.0f, color.g / 255.0f, color.b / 255.0f, color.a / 255.0f);
        gl->BufferData (GL_ARRAY_BUFFER, sizeof (vertices), vertices, GL_DYNAMIC_DRAW);
        gl->DrawArrays (GL_TRIANGLE_STRIP, 0, 4);
    }
}

void VexaRendererOpenGL::endFrame ()
{
    gl->BindVertexArray (0);
    gl->BindBuffer (GL_ARRAY_BUFFER, 0);
    gl->BindTexture (GL_TEXTURE_2D, 0);
    gl->UseProgram (0);
    glContext->swapBuffers ();
    glContext->releaseCurrent ();
}

// ---- graphics objects -------------------------------------------------------------------------

uint32_t VexaRendererOpenGL::prepareImage (const ResourceSpec& spec)
{
    ImageState& image = images[spec.id];
    const bool useDouble = frameSampling != Sampling::kOriginal && ! image.doubleMissing;
    const bool linear = frameSampling == Sampling::kDoubleLinear;
    // A change of scale swaps the texture for the other version (an image without a 2x version
    // stays as it is, drawn nearest).
    if (image.glTexture != 0 && image.glDouble != useDouble)
    {
        gl->DeleteTextures (1, &image.glTexture);
        image.glTexture = 0;
        image.glDouble = image.glLinear = false;
    }
    if (image.glTexture == 0 && ! (useDouble && uploadDoubleResolution (image, spec)))
        uploadOriginal (image, spec);
    if (image.glTexture != 0 && image.glDouble && image.glLinear != linear)
    {
        gl->BindTexture (GL_TEXTURE_2D, image.glTexture);
        setFilter (*gl, linear);
        image.glLinear = linear;
    }
    return image.glTexture;
}

void VexaRendererOpenGL::uploadOriginal (ImageState& image, const ResourceSpec& spec)
{
    // Made when a visual first shows the image, not when a texture is created: a picture nobody
    // has looked at yet (the about box, say) costs neither decoding nor graphics memory.
    if (image.undecodable || ! hasUploadableImage (spec))
        return;
    const std::shared_ptr<const uint8_t> pixels = spec.pixels.acquire ();
    if (! pixels)
    {
        image.undecodable = true; // a damaged image draws nothing, and is not decoded every frame
        return;
    }
    image.glTexture = uploadPixels (pixels.get (), spec.width, spec.height);
    keepWhileAttached (spec.pixels, pixels);
}

bool VexaRendererOpenGL::uploadDoubleResolution (ImageState& image, const ResourceSpec& spec)
{
    const std::shared_ptr<const uint8_t> pixels = hasUploadableDouble (spec) ? spec.doublePixels.acquire () : nullptr;
    if (! pixels)
    {
        image.doubleMissing = true;
        return false;
    }
    image.glTexture = uploadPixels (pixels.get (), 2 * spec.width, 2 * spec.height);
    image.glDouble = true;
    image.glLinear = false;
    keepWhileAttached (spec.doublePixels, pixels);
    return true;
}

uint32_t VexaRendererOpenGL::uploadPixels (const uint8_t* pixels, int32_t width, int32_t height)
{
    GLuint name = 0;
    gl->GenTextures (1, &name);
    gl->BindTexture (GL_TEXTURE_2D, name);
    gl->TexImage2D (GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    setFilter (*gl, false);
    gl->TexParameteri (GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl->TexParameteri (GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return name;
}

void VexaRendererOpenGL::keepWhileAttached (const ImagePixels& source, const std::shared_ptr<const uint8_t>& bytes)
{
    // Bytes a ResourceSpec holds of its own stay with it anyway; made ones would be made again.
    if (source.canReacquire () && std::find (imagesInUse.begin (), imagesInUse.end (), bytes) == imagesInUse.end ())
        imagesInUse.push_back (bytes);
}

uint32_t VexaRendererOpenGL::compileShader (uint32_t type, const char* source)
{
    const GLuint shader = gl->CreateShader (type);
    gl->ShaderSource (shader, 1, &source, nullptr);
    gl->CompileShader (shader);
    GLint status = GL_FALSE;
    gl->GetShaderiv (shader, GL_COMPILE_STATUS, &status);
    if (status == GL_TRUE)
        return shader;
    std::fprintf (stderr, "[VexaRendererOpenGL] shader compile failed: %s\n", infoLog (*gl, shader, false).c_str ());
    gl->DeleteShader (shader);
    return 0;
}

bool VexaRendererOpenGL::ensureGlResources ()
{
    if (glReady)
        return true;
    if (! gl->loaded && ! gl->load ())
        return false;

    const GLuint vs = compileShader (GL_VERTEX_SHADER, vertexSource);
    if (vs == 0)
        return false;
    const GLuint fs = compileShader (GL_FRAGMENT_SHADER, fragmentSource);
    if (fs == 0)
    {
        gl->DeleteShader (vs);
        return false;
    }

    program = gl->CreateProgram ();
    gl->AttachShader (program, vs);
    gl->AttachShader (program, fs);
    gl->BindAttribLocation (program, kPosLocation, "aPos");
    gl->BindAttribLocation (program, kUvLocation, "aUV");
    gl->LinkProgram (program);
    GLint linked = GL_FALSE;
    gl->GetProgramiv (program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE)
    {
        std::fprintf (stderr, "[VexaRendererOpenGL] program link failed: %s\n", infoLog (*gl, program, true).c_str ());
        gl->DeleteProgram (program);
        program = 0;
    }
    gl->DeleteShader (vs);
    gl->DeleteShader (fs);
    if (program == 0)
        return false;

    locPos = gl->GetAttribLocation (program, "aPos");
    locUV = gl->GetAttribLocation (program, "aUV");
    locScreenSize = gl->GetUniformLocation (program, "uScreenSize");
    locTexture = gl->GetUniformLocation (program, "uTexture");
    locColor = gl->GetUniformLocation (program, "uColor");

    gl->GenBuffers (1, &vertexBuffer);
    gl->GenVertexArrays (1, &vertexArray);

    const unsigned char white[4] = {255, 255, 255, 255};
    gl->GenTextures (1, &whiteTexture);
    gl->BindTexture (GL_TEXTURE_2D, whiteTexture);
    gl->TexImage2D (GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    gl->TexParameteri (GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl->TexParameteri (GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl->TexParameteri (GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl->TexParameteri (GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);

    glReady = true;
    return true;
}

} // namespace vexagui
