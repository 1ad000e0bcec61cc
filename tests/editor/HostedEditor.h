// The instrument's editor as a host opens it: an initialized instance, its "editor" view attached to
// a parent X11 window that the host made, pumped by the host's run loop (FakePlugFrame). Also the
// picture check the embedding tests share.
#pragma once

#include "FakePlugFrame.h"

#include "VorlixVst3Plugin.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Vorlix::test {

constexpr int kEditorWidth = 565;
constexpr int kEditorHeight = 260;

// One plug view of an instance's controller attached to a parent window, with the host's run loop.
struct EditorView {
    vexagui::test::FakePlugFrame frame;
    Steinberg::IPlugView* view = nullptr;

    EditorView() = default;
    EditorView(const EditorView&) = delete;
    EditorView& operator=(const EditorView&) = delete;
    ~EditorView() { close(); }

    bool open(Steinberg::Vst::IEditController* controller, unsigned long parent, std::string& error) {
        view = controller->createView("editor");
        if (view == nullptr) {
            error = "no view";
            return false;
        }
        view->setFrame(&frame);
        if (view->attached(reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent)), "X11EmbedWindowID") !=
            Steinberg::kResultOk) {
            error = "attach failed";
            return false;
        }
        return true;
    }

    // Removes and releases the view, as a host closing the editor window does.
    void close() {
        if (view == nullptr) return;
        view->removed();
        view->release();
        view = nullptr;
    }
};

// An instance of its own (initialized once) and its editor view.
struct HostedEditor : EditorView {
    VorlixVst3Plugin* plugin = nullptr;
    Steinberg::Vst::IEditController* controller = nullptr;

    ~HostedEditor() {
        close();
        if (plugin != nullptr) {
            plugin->terminate();
            plugin->release();
        }
    }

    bool open(unsigned long parent, std::string& error) {
        if (plugin == nullptr) {
            plugin = new VorlixVst3Plugin();
            controller = static_cast<Steinberg::Vst::IEditController*>(plugin);
            if (plugin->initialize(nullptr) != Steinberg::kResultOk) {
                error = "initialize failed";
                return false;
            }
        }
        return EditorView::open(controller, parent, error);
    }
};

// Whether an RGB picture of a parent window shows the whole editor at its top left corner: the
// panel drawn to every corner and the middle, and the preset box's label lit.
inline bool showsEditor(const std::vector<unsigned char>& rgb, int width, int height) {
    if (rgb.empty() || width < kEditorWidth || height < kEditorHeight) return false;
    auto at = [&](int x, int y) { return &rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3]; };
    for (const auto& [x, y] : {std::pair{2, 2}, std::pair{562, 2}, std::pair{2, 257}, std::pair{562, 257}, std::pair{282, 130}}) {
        const unsigned char* p = at(x, y);
        if (p[0] + p[1] + p[2] == 0) return false;
    }
    int lit = 0;
    for (int y = 17; y < 31; ++y)
        for (int x = 25; x < 170; ++x) lit += at(x, y)[0] > 16 ? 1 : 0;
    return lit > 0;
}

// The editor's rectangle (top left of a parent's picture), RGB rows.
inline std::vector<unsigned char> editorRegion(const std::vector<unsigned char>& rgb, int width, int height) {
    std::vector<unsigned char> out;
    if (rgb.empty() || width < kEditorWidth || height < kEditorHeight) return out;
    for (int y = 0; y < kEditorHeight; ++y) {
        const auto row = rgb.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3);
        out.insert(out.end(), row, row + kEditorWidth * 3);
    }
    return out;
}

// The editor's first picture as a bare parent window shows it (the parent never maps children,
// the view maps its own window): what every other host must show too. Empty on failure.
inline std::vector<unsigned char> editorPictureInBareParent() {
    vexagui::test::X11TestWindow win(kEditorWidth, kEditorHeight);
    HostedEditor e;
    std::string error;
    if (!win.ok() || !e.open(win.window, error)) return {};
    std::vector<unsigned char> last;
    const bool drawn = e.frame.pumpUntil([&] {
        int w = 0, h = 0;
        const auto rgb = win.grabRgb(w, h);
        if (!win.childViewable() || !showsEditor(rgb, w, h)) return false;
        auto now = editorRegion(rgb, w, h);
        const bool settled = now == last;
        last = std::move(now);
        return settled;
    }, 5000);
    return drawn ? last : std::vector<unsigned char>{};
}

} // namespace Vorlix::test
