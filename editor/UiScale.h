// The editor's scale where the host gives none: VORLIX_UI_SCALE first, then the desktop's. One rule
// for the plug-ins' editors and the app's window.
#pragma once

#include <optional>

namespace Vorlix {

// The scale a text asks for: a number (read locale-free), clamped as a host's factor is; nullopt for no or
// empty text and for anything but a finite number, which leave the choice to the desktop.
std::optional<float> uiScaleFromText(const char* text);

// What VORLIX_UI_SCALE asks for, if it names a scale: the way to size the editor where neither
// the host nor the desktop says how.
std::optional<float> forcedUiScale();

} // namespace Vorlix
