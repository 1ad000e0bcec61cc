// The single pending request for something only the host side can do (file dialogs, native text
// entry). A renderer owns one slot; the plug view bridge drains it after every input event and
// frame. There is no queue: a newer posting replaces one that was not drained yet.
#pragma once

#include "vexagui/render/Geometry.h"

#include <cstdint>
#include <string>

namespace vexagui {

struct HostRequest {
    enum Kind : std::int32_t {
        kNone = 0,
        kOpenFileDialog = 1,
        kSaveFileDialog = 2,
        kTextEntry = 3,
    };

    std::int32_t kind = kNone;
    Rect rect;         // kTextEntry: the surface area being edited; zero otherwise
    std::string text;  // kSaveFileDialog: suggested name without extension; kTextEntry: initial text

    bool pending() const { return kind != kNone; }

    // Back to kNone with a zero rect and empty text (also what draining does).
    void clear();

    // Posting resets the slot first and does nothing else: no redraw, no call-out.
    void postOpenFileDialog();
    void postSaveFileDialog(const char* suggestedName);  // null posts an empty name
    void postTextEntry(const Rect& area, const char* initialText);  // null posts an empty text
};

} // namespace vexagui
