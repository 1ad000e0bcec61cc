// A text label that shows a parameter's current value. A type of its own so that the editor can
// keep its read-outs apart from static captions; it behaves exactly like a label.
#pragma once

#include "vexagui/views/VexaTextLabel.h"

namespace vexagui {

class VexaParamDisplay : public VexaTextLabel {
public:
    using VexaTextLabel::VexaTextLabel;
};

} // namespace vexagui
