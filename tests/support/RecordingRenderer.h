// A renderer for headless tests: keeps the same bookkeeping as a real renderer (separate id
// counters from 1, ids never reused, unknown handles ignored, one host-request slot) and records
// every call, so tests can assert exactly which textures, quads, rectangles and scenes views make.
#pragma once

#include "vexagui/render/IVexaGuiRenderer.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vexagui::test {

class RecordingRenderer : public IVexaGuiRenderer {
public:
    enum class Op {
        kCreateTexture,
        kDestroyTexture,
        kCreateQuad,
        kUpdateQuad,
        kCreateSolidRect,
        kUpdateSolidRect,
        kDestroyVisual,
        kSetScene,
        kRequestRedraw,
        kRequestOpenFileDialog,
        kRequestSaveFileDialog,
        kBeginTextEntry,
        kRender,
    };

    // One recorded call with whatever arguments it had (unused fields stay zero).
    struct Call {
        Op op{};
        std::uint32_t handle = 0;   // texture or visual the call named or returned
        std::uint32_t texture = 0;  // createQuad's texture
        int resourceId = 0;
        Rect dst;
        Rect src;
        Color color;
        std::size_t count = 0;  // setScene
        std::string text;
    };

    enum class Kind { kQuad, kSolidRect };

    struct Visual {
        Kind kind = Kind::kQuad;
        TextureHandle texture;
        Rect dst;
        Rect src;
        Color color{255, 255, 255, 255};
    };

    TextureHandle createTexture(int resourceId) override;
    void destroyTexture(TextureHandle texture) override;
    VisualHandle createQuad(TextureHandle texture, const Rect& dst, const Rect& src) override;
    void updateQuad(VisualHandle visual, const Rect& dst, const Rect& src) override;
    VisualHandle createSolidRect(const Rect& dst, const Color& color) override;
    void updateSolidRect(VisualHandle visual, const Rect& dst, const Color& color) override;
    void destroyVisual(VisualHandle visual) override;
    void setScene(const VisualHandle* handles, std::size_t count) override;
    void requestRedraw() override;
    void requestOpenFileDialog() override;
    void requestSaveFileDialog(const char* suggestedName) override;
    void beginTextEntry(const Rect& area, const char* initialText) override;
    void render(float logicalWidth, float logicalHeight, int drawableWidth, int drawableHeight) override;

    // Live objects, keyed by id.
    std::map<std::uint32_t, int> textures;  // texture id -> resource id
    std::map<std::uint32_t, Visual> visuals;
    std::vector<VisualHandle> scene;  // the last setScene
    HostRequest pendingRequest;
    std::vector<Call> calls;
    int redrawRequests = 0;
    int sceneUpdates = 0;
    // While set, createQuad and createSolidRect fail and return handle 0 (nothing is recorded
    // as live), to exercise the views' retry on the next sync.
    bool failVisualCreation = false;

    // The live visual of a handle, or null.
    const Visual* visual(VisualHandle handle) const;
    // Resource id of a live texture, or -1.
    int resourceOf(TextureHandle handle) const;
    // The scene's entries that name live visuals, in draw order.
    std::vector<Visual> sceneVisuals() const;
    // How many recorded calls had this operation.
    std::size_t count(Op op) const;
    void clearCalls() { calls.clear(); }

private:
    Call& record(Op op, std::uint32_t handle = 0);

    std::uint32_t nextTextureId_ = 1;
    std::uint32_t nextVisualId_ = 1;
};

} // namespace vexagui::test
