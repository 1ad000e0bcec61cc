// The editor's optional two-octave on-screen keyboard (notes 48 to 71) drawn as solid rectangles.
// A press plays a note through a callback, sliding releases it and plays the next key
// (glissando), releasing the mouse releases it; at most one note sounds from it at a time.
// Private to the synth editor: the class lives in an unnamed namespace of each unit including it.
#pragma once

#include "vexagui/views/VexaView.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace Vorlix {
namespace {

class VorlixPianoView final : public vexagui::VexaView {
public:
    struct PianoKey {
        std::int32_t note = 0;
        bool black = false;
        vexagui::Rect rect;
        vexagui::VisualHandle visual;
    };

    struct Callbacks {
        std::function<void(std::int32_t)> noteOn;
        std::function<void(std::int32_t)> noteOff;
    };

    static constexpr vexagui::Color kActiveColor{0xD6, 0x78, 0x18, 0xFF};
    static constexpr vexagui::Color kBlackColor{0x28, 0x22, 0x1E, 0xFF};
    static constexpr vexagui::Color kWhiteColor{0xEC, 0xE6, 0xD6, 0xFF};

    VorlixPianoView(const vexagui::Rect& area, Callbacks cb) : vexagui::VexaView(area, true), callbacks(std::move(cb)) {
        static constexpr std::array<int, 7> whiteOffsets{0, 2, 4, 5, 7, 9, 11};
        static constexpr std::array<int, 5> blackOffsets{1, 3, 6, 8, 10};
        static constexpr std::array<int, 5> blackBoundaries{1, 2, 4, 5, 6};
        const float x0 = area.x;
        const float top = area.y + 14.0f;
        const float pitch = area.width / 14.0f;
        whiteKeys.reserve(14);
        blackKeys.reserve(10);
        for (int octave = 0; octave < 2; ++octave) {
            const int base = 48 + 12 * octave;
            for (int k = 0; k < 7; ++k) {
                const float x = x0 + static_cast<float>(7 * octave + k) * pitch;
                whiteKeys.push_back({base + whiteOffsets[k], false, {x, top, pitch - 1.0f, 62.0f}, {}});
            }
            for (int j = 0; j < 5; ++j) {
                // Centred on the boundary between two white keys.
                const float x = x0 + static_cast<float>(7 * octave + blackBoundaries[j]) * pitch - 0.31f * pitch;
                blackKeys.push_back({base + blackOffsets[j], true, {x, top, 0.62f * pitch, 38.0f}, {}});
            }
        }
    }

    // The note under p, black keys first (they lie on top of the white ones); -1 for none.
    std::int32_t hitNote(const vexagui::Point& p) const {
        for (const PianoKey& key : blackKeys)
            if (contains(key.rect, p)) return key.note;
        for (const PianoKey& key : whiteKeys)
            if (contains(key.rect, p)) return key.note;
        return -1;
    }

    std::int32_t activeNoteForTest() const { return activeNote; }
    const std::vector<PianoKey>& whiteKeyList() const { return whiteKeys; }
    const std::vector<PianoKey>& blackKeyList() const { return blackKeys; }

    void onPointerDown(const vexagui::MouseEvent& e) override { follow(e); }
    void onPointerMove(const vexagui::MouseEvent& e) override { follow(e); }

    void onPointerUp(const vexagui::MouseEvent&) override {
        if (activeNote == -1) return;
        const std::int32_t old = activeNote;
        activeNote = -1;
        if (old >= 0 && callbacks.noteOff) callbacks.noteOff(old);
        markDirty();
    }

    void onContextAttached(vexagui::IVexaGuiRenderer& renderer) override {
        for (PianoKey& key : whiteKeys)
            if (!key.visual.valid()) key.visual = renderer.createSolidRect(key.rect, colorOf(key));
        for (PianoKey& key : blackKeys)
            if (!key.visual.valid()) key.visual = renderer.createSolidRect(key.rect, colorOf(key));
    }

    void onContextDetached(vexagui::IVexaGuiRenderer& renderer) override {
        for (PianoKey& key : whiteKeys) release(renderer, key);
        for (PianoKey& key : blackKeys) release(renderer, key);
    }

    void syncContext() override {
        vexagui::IVexaGuiRenderer* renderer = context();
        if (renderer == nullptr) return;
        for (PianoKey& key : whiteKeys) syncKey(*renderer, key);
        for (PianoKey& key : blackKeys) syncKey(*renderer, key);
    }

    void collectSceneHandles(std::vector<vexagui::VisualHandle>& out) const override {
        for (const PianoKey& key : whiteKeys) vexagui::appendHandle(out, key.visual);
        for (const PianoKey& key : blackKeys) vexagui::appendHandle(out, key.visual);
    }

private:
    static bool contains(const vexagui::Rect& r, const vexagui::Point& p) {
        return p.x >= r.x && p.x <= r.x + r.width && p.y >= r.y && p.y <= r.y + r.height;
    }

    vexagui::Color colorOf(const PianoKey& key) const {
        if (key.note == activeNote) return kActiveColor;
        return key.black ? kBlackColor : kWhiteColor;
    }

    // Press and move share one rule: the release of the old note always precedes the new note-on.
    void follow(const vexagui::MouseEvent& e) {
        const std::int32_t note = hitNote(vexagui::Point{e.x, e.y});
        if (note == activeNote) return;
        const std::int32_t old = activeNote;
        activeNote = note;
        if (old >= 0 && callbacks.noteOff) callbacks.noteOff(old);
        if (note >= 0 && callbacks.noteOn) callbacks.noteOn(note);
        markDirty();
    }

    void syncKey(vexagui::IVexaGuiRenderer& renderer, PianoKey& key) {
        if (!key.visual.valid()) key.visual = renderer.createSolidRect(key.rect, colorOf(key));
        renderer.updateSolidRect(key.visual, key.rect, colorOf(key));
    }

    static void release(vexagui::IVexaGuiRenderer& renderer, PianoKey& key) {
        if (key.visual.valid()) renderer.destroyVisual(key.visual);
        key.visual = {};
    }

    Callbacks callbacks;
    std::vector<PianoKey> whiteKeys;
    std::vector<PianoKey> blackKeys;
    std::int32_t activeNote = -1;
};

} // namespace
} // namespace Vorlix
