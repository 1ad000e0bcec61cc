// One line of bitmap text centred in the view's rectangle. Passive: never takes pointer input.
#pragma once

#include "vexagui/views/TextLayout.h"
#include "vexagui/views/VexaView.h"

#include <string>
#include <string_view>

namespace vexagui {

class VexaTextLabel : public VexaView {
public:
    VexaTextLabel(const VexaBitmapFont& font, const Rect& bounds, std::string_view text);

    // Redraws only when the bytes differ; the quads follow at the next sync.
    void setText(std::string_view text);
    const std::string& text() const { return text_; }
    const VexaBitmapFont& font() const { return font_; }
    TextureHandle texture() const { return texture_; }
    const std::vector<VisualHandle>& handles() const { return handles_; }

    void onContextAttached(IVexaGuiRenderer& renderer) override;
    void onContextDetached(IVexaGuiRenderer& renderer) override;
    void syncContext() override;
    void collectSceneHandles(std::vector<VisualHandle>& out) const override;

protected:
    VexaBitmapFont font_;
    std::string text_;
    TextureHandle texture_;
    std::vector<VisualHandle> handles_;
};

} // namespace vexagui
