// GLX configuration choice shared by the X11 view (its window's visual) and the GLX context.
#include "VexaGlxConfig.h"

#include <X11/Xutil.h>

#include <climits>

namespace vexagui::x11 {

GLXFBConfig chooseGlxConfig (Display* d, int screen, VisualID visual)
{
    const int attributes[] = {GLX_X_RENDERABLE, True, GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT, GLX_RENDER_TYPE,
                              GLX_RGBA_BIT, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, GLX_ALPHA_SIZE, 8,
                              GLX_DOUBLEBUFFER, True, None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig (d, screen, attributes, &count);
    if (! configs)
        return nullptr;
    // A caveat (software or non-conformant) costs most, then unneeded depth and stencil bits.
    GLXFBConfig best = nullptr;
    long bestCost = LONG_MAX;
    for (int i = 0; i < count; ++i)
    {
        int vid = 0, caveat = GLX_NONE, depth = 0, stencil = 0, red = 0, alpha = 0;
        glXGetFBConfigAttrib (d, configs[i], GLX_VISUAL_ID, &vid);
        if (static_cast<VisualID> (vid) != visual)
            continue;
        glXGetFBConfigAttrib (d, configs[i], GLX_CONFIG_CAVEAT, &caveat);
        glXGetFBConfigAttrib (d, configs[i], GLX_DEPTH_SIZE, &depth);
        glXGetFBConfigAttrib (d, configs[i], GLX_STENCIL_SIZE, &stencil);
        glXGetFBConfigAttrib (d, configs[i], GLX_RED_SIZE, &red);
        glXGetFBConfigAttrib (d, configs[i], GLX_ALPHA_SIZE, &alpha);
        const long cost = (caveat == GLX_NONE ? 0 : 100000) + (red + alpha - 16) * 1000 + depth + stencil;
        if (cost < bestCost)
        {
            bestCost = cost;
            best = configs[i];
        }
    }
    XFree (configs);
    return best;
}

VisualID glxWindowVisual (Display* d, int screen, VisualID parentVisual)
{
    if (chooseGlxConfig (d, screen, parentVisual))
        return parentVisual;
    const VisualID defaultVisual = XVisualIDFromVisual (DefaultVisual (d, screen));
    if (defaultVisual != parentVisual && chooseGlxConfig (d, screen, defaultVisual))
        return defaultVisual;
    return parentVisual;
}

void chooseChildWindowVisual (Display* d, const XWindowAttributes& parent, XSetWindowAttributes& a,
                              unsigned long& mask, int& depth, Visual*& visual)
{
    const int screen = XScreenNumberOfScreen (parent.screen);
    const VisualID parentId = XVisualIDFromVisual (parent.visual);
    // The common case asks nothing of GLX on this connection.
    if (parentId == XVisualIDFromVisual (DefaultVisual (d, screen)))
        return;
    const VisualID chosen = glxWindowVisual (d, screen, parentId);
    if (chosen == parentId)
        return;
    XVisualInfo wanted {};
    wanted.visualid = chosen;
    int count = 0;
    XVisualInfo* info = XGetVisualInfo (d, VisualIDMask, &wanted, &count);
    if (info && count > 0)
    {
        visual = info->visual;
        depth = info->depth;
        a.colormap = XCreateColormap (d, RootWindow (d, screen), visual, AllocNone);
        a.border_pixel = 0;
        mask |= CWColormap | CWBorderPixel;
    }
    if (info)
        XFree (info);
}

} // namespace vexagui::x11
