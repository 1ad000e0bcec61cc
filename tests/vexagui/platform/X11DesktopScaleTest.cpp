// The desktop's scale from the X resource database's Xft.dpi, without a server.
#include "vexagui/platform/x11/VexaX11DesktopScale.h"
#include "tests/support/CommaDecimalLocale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

using namespace vexagui::x11;

TEST (X11DesktopScale, DpiRoundsToTheNearestArtworkScale)
{
    const struct { double dpi; float scale; } cases[] = {
        {96, 1.0f},  {72, 1.0f},   {119, 1.0f}, {120, 1.5f}, {144, 1.5f}, {167.9, 1.5f},
        {168, 2.0f}, {192, 2.0f},  {288, 2.0f}, {0, 1.0f},   {-96, 1.0f}, {NAN, 1.0f}, {INFINITY, 1.0f},
    };
    for (const auto& c : cases)
        EXPECT_EQ (scaleFromDpi (c.dpi), c.scale) << c.dpi;
}

TEST (X11DesktopScale, XftDpiFromTheResourceText)
{
    const struct { const char* text; double dpi; } found[] = {
        {"Xft.dpi:\t192\n", 192},
        {"Xcursor.size:\t48\nXft.antialias:\t1\nXft.dpi:\t144\nXft.hinting:\t1\n", 144},
        {"Xft.dpi: 120.5", 120.5},
        {"*dpi: 192\n", 192}, // a loose binding applies to Xft too, as for every X client
    };
    // The same under a host's comma-decimal locale: "120.5" is not cut to 120.
    for (bool comma : {false, true})
    {
        std::optional<Vorlix::test::CommaDecimalLocale> locale;
        if (comma)
        {
            locale.emplace ();
            ASSERT_TRUE (locale->active) << locale->kMissing;
        }
        for (const auto& f : found)
        {
            const auto dpi = xftDpiFromResources (f.text);
            ASSERT_TRUE (dpi.has_value ()) << f.text;
            EXPECT_EQ (*dpi, f.dpi) << f.text << (comma ? " (de_DE)" : "");
        }
        for (const char* none : {"", "Xcursor.size: 48\n", "Xft.dpi: many\n", "Xft.dpi:\n", "! Xft.dpi: 192\n"})
            EXPECT_FALSE (xftDpiFromResources (none).has_value ()) << none;
        EXPECT_FALSE (xftDpiFromResources (nullptr).has_value ());
    }
}
