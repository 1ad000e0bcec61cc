// Slot rules of the pending host request.
#include "vexagui/render/HostRequest.h"

namespace vexagui {

void HostRequest::clear() {
    kind = kNone;
    rect = Rect{};
    text.clear();
}

void HostRequest::postOpenFileDialog() {
    clear();
    kind = kOpenFileDialog;
}

void HostRequest::postSaveFileDialog(const char* suggestedName) {
    clear();
    kind = kSaveFileDialog;
    if (suggestedName != nullptr) text = suggestedName;
}

void HostRequest::postTextEntry(const Rect& area, const char* initialText) {
    clear();
    kind = kTextEntry;
    rect = area;
    if (initialText != nullptr) text = initialText;
}

} // namespace vexagui
