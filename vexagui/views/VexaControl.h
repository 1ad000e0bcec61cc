// A view that reports user changes of its value to the editor, under its tag.
#pragma once

#include "vexagui/views/VexaView.h"

namespace vexagui {

class VexaControl : public VexaView {
public:
    VexaControl(std::int32_t tag, const Rect& bounds, bool interactive);

    virtual float normalizedValue() const { return 0.0f; }
    // Host-driven updates: never emitted back as control changes.
    virtual void setNormalizedValue(float /*value*/) {}

    std::int32_t tag() const { return tag_; }

protected:
    // Calls the editor's control-changed callback with (tag, value), if anybody listens.
    void emitControlChanged(float value);

private:
    std::int32_t tag_;
};

} // namespace vexagui
