// Display connection with a short retry.
#include "VexaX11Display.h"

#include <chrono>
#include <thread>

namespace vexagui::x11 {

Display* openDisplay ()
{
    for (int attempt = 0; attempt < 8; ++attempt)
    {
        if (Display* d = XOpenDisplay (nullptr))
            return d;
        std::this_thread::sleep_for (std::chrono::milliseconds (1 << (attempt / 2)));
    }
    return nullptr;
}

} // namespace vexagui::x11
