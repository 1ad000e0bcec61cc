// A stand-in for the plug-in behind the editor's host callbacks: 36 normalized values, the
// current program and a voice count, with the component's reaction to the editor's tags
// (parameters stored, tag 40 loads a built-in program) and a log of every tag it received.
#pragma once

#include "editor/VorlixEditor.h"
#include "instrument/VorlixPrograms.h"

#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace Vorlix::test {

struct EditorTestHost {
    std::array<float, 36> values{};
    int program = 0;
    int voices = 0;
    bool precise = true;
    int channel = 0;
    std::vector<std::pair<int, float>> tags;
    std::vector<int> channelPicks;
    std::vector<int> notes;  // +n note-on, -(n + 1) note-off
    VorlixEditor* editor = nullptr;  // refreshed after every tag, as the component does

    void loadProgram(int index) {
        program = index;
        const int count = static_cast<int>(programs[index][0]);
        for (int i = 0; i < 36; ++i) values[static_cast<std::size_t>(i)] = i < count ? programs[index][1 + i] : 0.0f;
    }

    VorlixEditor::HostCallbacks callbacks(bool withChannelAndPiano = false) {
        VorlixEditor::HostCallbacks cb;
        cb.onControlTag = [this](int tag, float value) {
            tags.emplace_back(tag, value);
            if (tag >= 0 && tag < 36) values[static_cast<std::size_t>(tag)] = value;
            if (tag == 40) loadProgram(static_cast<int>(std::lround(value)));
            if (tag == kPreciseOscillators) precise = value >= 0.5f;
            if (editor != nullptr) editor->syncFromHost();
        };
        cb.getParamValue = [this](int id) { return id >= 0 && id < 36 ? values[static_cast<std::size_t>(id)] : 0.0f; };
        cb.getCurrentProgram = [this] { return program; };
        cb.getActiveVoiceCount = [this] { return voices; };
        cb.getPreciseOscillators = [this] { return precise; };
        cb.getProgramCount = [] { return num_programs; };
        cb.getProgramName = [](int index) { return programnames[index]; };
        if (withChannelAndPiano) {
            cb.getSelectedChannel = [this] { return channel; };
            cb.onChannelSelected = [this](int c) {
                channelPicks.push_back(c);
                channel = c;
            };
            cb.onPianoNoteOn = [this](int n) { notes.push_back(n); };
            cb.onPianoNoteOff = [this](int n) { notes.push_back(-(n + 1)); };
        }
        return cb;
    }
};

// Centre of a rectangle.
inline void clickAt(VorlixEditor& editor, float x, float y) {
    editor.pointerDown(x, y, 1);
    editor.pointerUp(x, y, 0);
}

} // namespace Vorlix::test
