// Xft.dpi from the server's resource database.
#include "VexaX11DesktopScale.h"

#include "VexaX11Display.h"
#include "vexagui/text/NumberText.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <cmath>

namespace vexagui::x11 {

std::optional<double> xftDpiFromResources (const char* resources)
{
    if (resources == nullptr)
        return std::nullopt;
    // Xrm parses the text the way every X client does (comments, continuation lines, "*" bindings).
    XrmInitialize ();
    XrmDatabase db = XrmGetStringDatabase (resources);
    if (db == nullptr)
        return std::nullopt;
    std::optional<double> dpi;
    char* type = nullptr;
    XrmValue value {};
    if (XrmGetResource (db, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr != nullptr)
    {
        double v = 0.0;
        if (leadingNumber (value.addr, v) != 0 && std::isfinite (v))
            dpi = v;
    }
    XrmDestroyDatabase (db);
    return dpi;
}

float desktopScale ()
{
    Display* d = openDisplay ();
    if (d == nullptr)
        return 1.0f;
    // The property as the server had it when we connected: the current desktop setting.
    const std::optional<double> dpi = xftDpiFromResources (XResourceManagerString (d));
    XCloseDisplay (d);
    return dpi ? scaleFromDpi (*dpi) : 1.0f;
}

} // namespace vexagui::x11
