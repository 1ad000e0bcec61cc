// The renderer without a display: handles, resource table, scene and request slot, and what render
// and the surface binding do with a missing or failing context.
#include <gtest/gtest.h>

#include "vexagui/render/opengl/VexaRendererOpenGL.h"

#include <vector>

using namespace vexagui;

namespace {

ResourceSpec image (int32_t id, int32_t w, int32_t h, uint8_t fill)
{
    ResourceSpec s;
    s.id = id;
    s.width = w;
    s.height = h;
    s.flags = ResourceSpec::kHasPixels;
    s.pixels.assign (static_cast<size_t> (w * h * 4), fill);
    return s;
}

// A context that never gets as far as a graphics call, and counts what the renderer asked of it.
struct ScriptedContext final : IVexaOpenGLContext
{
    bool attachResult = true;
    bool currentResult = true;
    bool attached = false;
    int attaches = 0, detaches = 0, currents = 0, releases = 0, swaps = 0;

    bool attachToSurface (const VexaNativeSurface&) override
    {
        ++attaches;
        attached = attachResult;
        return attachResult;
    }
    void detachFromSurface () override
    {
        ++detaches;
        attached = false;
    }
    bool isAttached () const override { return attached; }
    bool makeCurrent () override
    {
        ++currents;
        return attached && currentResult;
    }
    void swapBuffers () override { ++swaps; }
    void releaseCurrent () override { ++releases; }
};

} // namespace

TEST (RendererBookkeeping, HandlesCountFromOneInSeparateSpacesAndAreNeverReused)
{
    VexaRendererOpenGL r;
    EXPECT_EQ (r.createTexture (5).id, 1u);
    EXPECT_EQ (r.createQuad (TextureHandle {1}, {}, {}).id, 1u);
    EXPECT_EQ (r.createSolidRect ({}, {}).id, 2u);
    r.destroyVisual (VisualHandle {2});
    r.destroyTexture (TextureHandle {1});
    EXPECT_EQ (r.createSolidRect ({}, {}).id, 3u);
    EXPECT_EQ (r.createTexture (5).id, 2u);
    EXPECT_EQ (r.textureStates ().size (), 1u);
    EXPECT_EQ (r.visualStates ().size (), 2u);
}

TEST (RendererBookkeeping, UnknownAndZeroHandlesChangeNothing)
{
    VexaRendererOpenGL r;
    const VisualHandle quad = r.createQuad (TextureHandle {9}, {1, 2, 3, 4}, {5, 6, 7, 8});
    const VisualHandle rect = r.createSolidRect ({1, 1, 1, 1}, {1, 2, 3, 4});
    const auto before = r.visualStates ();
    for (const uint32_t id : {0u, 77u})
    {
        r.updateQuad (VisualHandle {id}, {9, 9, 9, 9}, {9, 9, 9, 9});
        r.updateSolidRect (VisualHandle {id}, {9, 9, 9, 9}, {9, 9, 9, 9});
        r.destroyVisual (VisualHandle {id});
        r.destroyTexture (TextureHandle {id});
    }
    ASSERT_EQ (r.visualStates ().size (), 2u);
    EXPECT_EQ (r.visualStates ().at (quad.id).dst, before.at (quad.id).dst);
    EXPECT_EQ (r.visualStates ().at (rect.id).color, before.at (rect.id).color);

    // An update of the other kind stores its extra field without changing the kind.
    r.updateSolidRect (quad, {0, 0, 2, 2}, {9, 8, 7, 6});
    r.updateQuad (rect, {0, 0, 3, 3}, {1, 1, 1, 1});
    const auto& q = r.visualStates ().at (quad.id);
    EXPECT_EQ (q.kind, VexaRendererOpenGL::kQuad);
    EXPECT_EQ (q.color, (Color {9, 8, 7, 6}));
    EXPECT_EQ (q.src, (Rect {5, 6, 7, 8}));
    const auto& s = r.visualStates ().at (rect.id);
    EXPECT_EQ (s.kind, VexaRendererOpenGL::kSolidRect);
    EXPECT_EQ (s.src, (Rect {1, 1, 1, 1}));
    EXPECT_EQ (s.texture.id, 0u);
}

TEST (RendererBookkeeping, ResourceTableLaterSpecWinsAndReachesExistingTextures)
{
    VexaRendererOpenGL r;
    const TextureHandle unknown = r.createTexture (130);
    EXPECT_EQ (r.textureStates ().at (unknown.id).spec.width, 0);
    EXPECT_EQ (r.textureStates ().at (unknown.id).spec.flags, 0u);
    EXPECT_EQ (r.textureStates ().at (unknown.id).spec.id, 130);

    r.setResources ({image (130, 2, 2, 1), image (131, 1, 1, 2), image (130, 3, 1, 3)});
    const auto& known = r.textureStates ().at (unknown.id).spec;
    EXPECT_EQ (known.width, 3);
    EXPECT_EQ (known.pixels.front (), 3);
    const TextureHandle fresh = r.createTexture (130);
    EXPECT_EQ (r.textureStates ().at (fresh.id).spec.width, 3);

    // Each texture owns its copy: a new table leaves textures of ids it lacks untouched.
    r.setResources ({image (131, 1, 1, 4)});
    EXPECT_EQ (r.textureStates ().at (fresh.id).spec.width, 3);
    EXPECT_EQ (r.createTexture (130).id, 3u);
    EXPECT_EQ (r.textureStates ().at (3).spec.width, 0);
    r.setResources (nullptr, 4);
    EXPECT_EQ (r.textureStates ().size (), 3u);
}

TEST (RendererBookkeeping, SceneIsACopy)
{
    VexaRendererOpenGL r;
    std::vector<VisualHandle> list {{1}, {1}, {0}, {42}};
    r.setScene (list.data (), list.size ());
    list[0].id = 7;
    EXPECT_EQ (r.sceneList (), (std::vector<VisualHandle> {{1}, {1}, {0}, {42}}));
    r.setScene (list.data (), 0);
    EXPECT_TRUE (r.sceneList ().empty ());
    r.setScene (nullptr, 3);
    EXPECT_TRUE (r.sceneList ().empty ());
}

TEST (RendererBookkeeping, PendingRequestSlot)
{
    VexaRendererOpenGL r;
    int redraws = 0;
    r.redrawCallback = [&] { ++redraws; };
    EXPECT_EQ (r.pendingRequest.kind, HostRequest::kNone);

    r.requestSaveFileDialog ("Bright Lead");
    EXPECT_EQ (r.pendingRequest.kind, HostRequest::kSaveFileDialog);
    EXPECT_EQ (r.pendingRequest.text, "Bright Lead");
    r.requestOpenFileDialog ();
    EXPECT_EQ (r.pendingRequest.kind, HostRequest::kOpenFileDialog);
    EXPECT_TRUE (r.pendingRequest.text.empty ());
    r.requestSaveFileDialog (nullptr);
    EXPECT_EQ (r.pendingRequest.kind, HostRequest::kSaveFileDialog);
    EXPECT_TRUE (r.pendingRequest.text.empty ());
    r.beginTextEntry ({1, 2, 3, 4}, "abc");
    EXPECT_EQ (r.pendingRequest.kind, HostRequest::kTextEntry);
    EXPECT_EQ (r.pendingRequest.rect, (Rect {1, 2, 3, 4}));
    EXPECT_EQ (r.pendingRequest.text, "abc");
    r.clearPendingHostRequest ();
    EXPECT_EQ (r.pendingRequest.kind, HostRequest::kNone);
    EXPECT_EQ (r.pendingRequest.rect, Rect {});
    EXPECT_TRUE (r.pendingRequest.text.empty ());
    EXPECT_EQ (redraws, 0) << "posting does not redraw";

    r.requestRedraw ();
    EXPECT_EQ (redraws, 1);
    r.redrawCallback = nullptr;
    r.requestRedraw ();
    EXPECT_EQ (redraws, 1);
}

TEST (RendererBookkeeping, RenderAndBindingWithoutAUsableContext)
{
    VexaRendererOpenGL r;
    const VisualHandle v = r.createSolidRect ({0, 0, 10, 10}, {255, 0, 0, 255});
    r.setScene (&v, 1);
    r.render (565, 260, 565, 260); // no context bound: nothing at all happens
    EXPECT_FALSE (r.attachToSurface (VexaNativeSurface::x11Window (1)));

    ScriptedContext c;
    int redraws = 0;
    r.redrawCallback = [&] { ++redraws; };
    r.glContext = &c;
    r.render (565, 260, 565, 260); // bound but not attached
    EXPECT_EQ (c.currents + c.swaps, 0);

    c.attachResult = false;
    EXPECT_FALSE (r.attachToSurface (VexaNativeSurface::x11Window (1)));
    EXPECT_EQ (redraws, 0);

    c.attachResult = true;
    EXPECT_TRUE (r.attachToSurface (VexaNativeSurface::x11Window (1)));
    EXPECT_EQ (redraws, 1);
    c.currentResult = false;
    r.render (565, 260, 565, 260); // cannot be made current: no frame, no swap
    EXPECT_EQ (c.swaps, 0);
    EXPECT_EQ (c.releases, 0);

    // Re-attaching while the old surface cannot be made current: the graphics objects are only
    // forgotten (no call into a context that is not ours), then the context moves.
    EXPECT_TRUE (r.attachToSurface (VexaNativeSurface::x11Window (2)));
    EXPECT_EQ (c.detaches, 1);
    EXPECT_EQ (c.attaches, 3);
    EXPECT_FALSE (r.isGlReady ());

    r.detachFromSurface ();
    EXPECT_EQ (c.detaches, 2);
    EXPECT_FALSE (c.attached);
    r.detachFromSurface (); // already detached: nothing
    EXPECT_EQ (c.detaches, 2);
    r.glContext = nullptr;
}
