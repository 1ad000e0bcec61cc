// The GLX context: the requested configuration, the attach and detach rules, and that the context
// which was current before each use is current again afterwards.
#include <gtest/gtest.h> // before the X headers: their None macro clashes with gtest's

#include "X11TestHost.h"

#include "vexagui/platform/x11/VexaOpenGLContextGLX.h"

#include <GL/gl.h>
#include <GL/glx.h>

using namespace vexagui;
using vexagui::test::X11TestHost;

namespace {

#ifndef GL_CONTEXT_PROFILE_MASK
#define GL_CONTEXT_PROFILE_MASK 0x9126
#define GL_CONTEXT_CORE_PROFILE_BIT 0x00000001
#endif

Window makeChild (const X11TestHost& host, int w, int h)
{
    Window c = XCreateSimpleWindow (host.display, host.window, 0, 0, static_cast<unsigned> (w),
                                    static_cast<unsigned> (h), 0, 0, 0);
    XMapWindow (host.display, c);
    XSync (host.display, False);
    return c;
}

} // namespace

TEST (GlxContext, CoreProfile32DoubleBufferedWithAlpha)
{
    X11TestHost host;
    ASSERT_TRUE (host.ok ());
    VexaOpenGLContextGLX context;
    ASSERT_TRUE (context.attachToSurface (VexaNativeSurface::x11Window (makeChild (host, 64, 32))));
    EXPECT_TRUE (context.isAttached ());
    EXPECT_EQ (glXGetCurrentContext (), nullptr) << "attaching leaves nothing current";

    ASSERT_TRUE (context.makeCurrent ());
    GLint major = 0, minor = 0, profile = 0, alpha = 0, doubleBuffer = 0;
    glGetIntegerv (0x821B /* GL_MAJOR_VERSION */, &major);
    glGetIntegerv (0x821C /* GL_MINOR_VERSION */, &minor);
    glGetIntegerv (GL_CONTEXT_PROFILE_MASK, &profile);
    EXPECT_GE (major * 10 + minor, 32);
    EXPECT_TRUE (profile & GL_CONTEXT_CORE_PROFILE_BIT);
    int configId = 0;
    Display* d = glXGetCurrentDisplay ();
    glXQueryContext (d, glXGetCurrentContext (), GLX_FBCONFIG_ID, &configId);
    const int wanted[] = {GLX_FBCONFIG_ID, configId, None};
    int n = 0;
    GLXFBConfig* configs = glXChooseFBConfig (d, DefaultScreen (d), wanted, &n);
    ASSERT_EQ (n, 1);
    glXGetFBConfigAttrib (d, configs[0], GLX_ALPHA_SIZE, &alpha);
    glXGetFBConfigAttrib (d, configs[0], GLX_DOUBLEBUFFER, &doubleBuffer);
    XFree (configs);
    EXPECT_EQ (alpha, 8);
    EXPECT_TRUE (doubleBuffer);
    context.swapBuffers ();
    context.releaseCurrent ();
    EXPECT_EQ (glXGetCurrentContext (), nullptr);
}

TEST (GlxContext, AttachRules)
{
    X11TestHost host;
    ASSERT_TRUE (host.ok ());
    const auto a = VexaNativeSurface::x11Window (makeChild (host, 32, 32));
    const auto b = VexaNativeSurface::x11Window (makeChild (host, 32, 32));
    VexaOpenGLContextGLX context;

    for (const VexaNativeSurface& bad : {VexaNativeSurface {}, VexaNativeSurface {VexaNativeSurface::kWindow, a.handle},
                                         VexaNativeSurface {VexaNativeSurface::kView, a.handle},
                                         VexaNativeSurface {VexaNativeSurface::kX11Window, nullptr},
                                         VexaNativeSurface::x11Window (0x7ffffff0ul)})
    {
        EXPECT_FALSE (context.attachToSurface (bad)) << bad.kind;
        EXPECT_FALSE (context.isAttached ());
        EXPECT_FALSE (context.makeCurrent ());
        context.swapBuffers (); // nothing when detached
    }

    ASSERT_TRUE (context.attachToSurface (a));
    ASSERT_TRUE (context.makeCurrent ());
    GLXContext first = glXGetCurrentContext ();
    context.releaseCurrent ();

    ASSERT_TRUE (context.attachToSurface (a)); // the same surface keeps the context
    ASSERT_TRUE (context.makeCurrent ());
    EXPECT_EQ (glXGetCurrentContext (), first);
    context.releaseCurrent ();

    ASSERT_TRUE (context.attachToSurface (b)); // another surface: the old context is released first
    ASSERT_TRUE (context.makeCurrent ());
    EXPECT_NE (glXGetCurrentContext (), nullptr);
    context.releaseCurrent ();

    // Attaching to the kind of an AppKit window fails and leaves the context detached.
    EXPECT_FALSE (context.attachToSurface ({VexaNativeSurface::kWindow, b.handle}));
    EXPECT_FALSE (context.isAttached ());

    ASSERT_TRUE (context.attachToSurface (b));
    context.detachFromSurface ();
    EXPECT_FALSE (context.isAttached ());
    EXPECT_FALSE (context.makeCurrent ());
}

TEST (GlxContext, TheHostsCurrentContextIsRestoredAfterEachUse)
{
    X11TestHost host;
    ASSERT_TRUE (host.ok ());
    // The "host's" own legacy context, current on its own window.
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, None};
    XVisualInfo* vi = glXChooseVisual (host.display, DefaultScreen (host.display), attributes);
    ASSERT_NE (vi, nullptr);
    GLXContext hostContext = glXCreateContext (host.display, vi, nullptr, True);
    XFree (vi);
    ASSERT_NE (hostContext, nullptr);
    ASSERT_TRUE (glXMakeCurrent (host.display, host.window, hostContext));

    {
        VexaOpenGLContextGLX one, two;
        ASSERT_TRUE (one.attachToSurface (VexaNativeSurface::x11Window (makeChild (host, 16, 16))));
        ASSERT_TRUE (two.attachToSurface (VexaNativeSurface::x11Window (makeChild (host, 16, 16))));
        EXPECT_EQ (glXGetCurrentContext (), hostContext);

        ASSERT_TRUE (one.makeCurrent ());
        EXPECT_NE (glXGetCurrentContext (), hostContext);
        ASSERT_TRUE (one.makeCurrent ()); // nested use: still one restore target
        one.releaseCurrent ();
        EXPECT_EQ (glXGetCurrentContext (), hostContext);
        EXPECT_EQ (glXGetCurrentDrawable (), host.window);

        // Two editors interleaved: each puts back what it found.
        ASSERT_TRUE (one.makeCurrent ());
        GLXContext oneContext = glXGetCurrentContext ();
        ASSERT_TRUE (two.makeCurrent ());
        two.releaseCurrent ();
        EXPECT_EQ (glXGetCurrentContext (), oneContext);
        one.releaseCurrent ();
        EXPECT_EQ (glXGetCurrentContext (), hostContext);

        // Detaching while current also hands the thread back.
        ASSERT_TRUE (two.makeCurrent ());
        two.detachFromSurface ();
        EXPECT_EQ (glXGetCurrentContext (), hostContext);
    }
    EXPECT_EQ (glXGetCurrentContext (), hostContext);
    glXMakeCurrent (host.display, None, nullptr);
    glXDestroyContext (host.display, hostContext);
}
