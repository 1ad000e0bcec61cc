// A DAW's day with the instrument (Xvfb): eight instances process on four audio threads while the
// user-interface thread opens two editors side by side, draws them, clicks into one, picks
// programs, restores states and closes them again. Under ThreadSanitizer this proves the instances,
// their editors and the shared code race-free; everywhere it proves that two open editors keep
// their drawing apart (the same program looks the same in either, a change in one leaves the other
// as it was) and that closing one leaves the other drawing.
#include <gtest/gtest.h>

#include "HostedEditor.h"

#include "VorlixParamID.h"

#include "tools/host/HostMemoryStream.h"
#include "tools/host/PluginInstance.h"

// After gtest: X11's macros (None, Bool) clash with its names.
#include <X11/Xlib.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

using namespace Vorlix::test;
using namespace vexagui::test;

namespace {

constexpr int kInstances = 8;
constexpr int kAudioThreads = 4;
constexpr int kEditedInstances = 4;  // instances 0 to 3 open editors, the others only play
#ifdef VORLIX_STRESS_ROUNDS
constexpr int kRounds = VORLIX_STRESS_ROUNDS;
#else
constexpr int kRounds = 3;
#endif
// Generous: under ThreadSanitizer on a loaded machine a software-rendered frame takes a while.
constexpr int kPatienceMs = 20000;

using Picture = std::vector<unsigned char>;

// The editor's picture without the active-voice read-out (109, 177, 25 x 14), which follows the
// notes that the audio threads play.
Picture pictureOf(X11TestWindow& win) {
    int w = 0, h = 0;
    const auto rgb = win.grabRgb(w, h);
    if (!showsEditor(rgb, w, h)) return {};
    Picture p = editorRegion(rgb, w, h);
    for (int y = 177; y < 177 + 14; ++y)
        std::fill_n(p.begin() + (y * kEditorWidth + 109) * 3, 25 * 3, 0);
    return p;
}

std::vector<std::uint8_t> stateOf(Steinberg::Vst::IComponent* component) {
    Vorlix::Host::HostMemoryStream stream;
    if (component->getState(&stream) != Steinberg::kResultOk) return {};
    const auto* data = reinterpret_cast<const std::uint8_t*>(stream.getData());
    return {data, data + stream.getSize()};
}

bool restore(Steinberg::Vst::IComponent* component, const std::vector<std::uint8_t>& bytes) {
    Vorlix::Host::HostMemoryStream stream;
    Steinberg::int32 written = 0;
    stream.write(const_cast<std::uint8_t*>(bytes.data()), static_cast<Steinberg::int32>(bytes.size()), &written);
    stream.seek(0, Steinberg::IBStream::kIBSeekSet, nullptr);
    return component->setState(&stream) == Steinberg::kResultOk;
}

struct Instance {
    VorlixVst3Plugin* plugin = nullptr;
    std::unique_ptr<Vorlix::Host::PluginInstance> host;
};

// Both editors' run loops, pumped in turn until `done` holds; a failure after kPatienceMs.
template <class Pred>
::testing::AssertionResult pumpBoth(EditorView& a, EditorView& b, Pred done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPatienceMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return ::testing::AssertionFailure() << "timed out after " << kPatienceMs << " ms: ";
        for (EditorView* e : {&a, &b}) {
            e->frame.pumpEvents(5);
            e->frame.tick();
        }
    }
    return ::testing::AssertionSuccess();
}

// The audio threads, stopped and joined however the test ends: an assertion that returns early
// must not leave joinable threads behind (std::terminate, with no word about the failure).
struct AudioThreads {
    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;
    ~AudioThreads() {
        stop = true;
        for (auto& t : threads)
            if (t.joinable()) t.join();
    }
};

} // namespace

TEST(ManyEditorsStress, EightInstancesOnFourThreadsWithTwoEditorsOpen) {
    // Before any GL: the software driver draws on the calling thread and starts no threads of its
    // own, whose hand-overs ThreadSanitizer cannot see (tests/tsan.supp says why that is the way
    // to keep its reports true). A value set outside wins.
    ::setenv("LP_NUM_THREADS", "0", 0);
    ::setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
    // Two host windows side by side at the bottom of the screen.
    X11TestWindow left(kEditorWidth, kEditorHeight), right(kEditorWidth, kEditorHeight);
    ASSERT_TRUE(left.ok() && right.ok()) << "no X display";
    {
        XWindowAttributes wa{};
        XGetWindowAttributes(right.display, right.window, &wa);
        XMoveWindow(left.display, left.window, wa.x - kEditorWidth - 8, wa.y);
        XSync(left.display, False);
    }

    std::array<Instance, kInstances> instances;
    for (Instance& in : instances) {
        in.plugin = new VorlixVst3Plugin();
        std::string error;
        in.host = Vorlix::Host::PluginInstance::adopt(static_cast<Steinberg::Vst::IAudioProcessor*>(in.plugin), error);
        ASSERT_TRUE(in.host) << error;
        Vorlix::Host::ProcessConfig config;
        config.maxBlock = 128;
        ASSERT_TRUE(in.host->start(config, error)) << error;
    }

    // Each audio thread owns two instances: notes, host automation and blocks of varying length,
    // paced a little so that the user-interface thread gets its share of two cores.
    std::array<std::atomic<long>, kAudioThreads> blocks{};
    std::atomic<int> badSamples{0};
    AudioThreads audio;
    for (int t = 0; t < kAudioThreads; ++t)
        audio.threads.emplace_back([&, t] {
            for (int i = 0; !audio.stop.load(); ++i) {
                for (int k = t; k < kInstances; k += kAudioThreads) {
                    auto& host = *instances[static_cast<std::size_t>(k)].host;
                    if (i % 16 == 0) host.events().addNoteOn(0, 40 + (i / 16 + k) % 30, 0.7f);
                    if (i % 16 == 12) host.events().addNoteOff(0, 40 + (i / 16 + k) % 30);
                    // Automation moves a knob on screen: only the instances that never show an editor.
                    if (k >= kEditedInstances && i % 32 == 5)
                        host.parameterChanges().addChange(kFilt1Cutoff, 0, (i % 10) / 10.0);
                    const int frames = 32 + (i * 37 + k) % 97;
                    host.process(frames);
                    for (int s = 0; s < frames; ++s)
                        if (!std::isfinite(host.output(0)[s])) badSamples.fetch_add(1);
                }
                blocks[static_cast<std::size_t>(t)].fetch_add(1);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });

    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        Instance& a = instances[static_cast<std::size_t>(round % kEditedInstances)];
        Instance& b = instances[static_cast<std::size_t>((round + 1) % kEditedInstances)];
        auto* controllerA = static_cast<Steinberg::Vst::IEditController*>(a.plugin);
        auto* controllerB = static_cast<Steinberg::Vst::IEditController*>(b.plugin);
        // Both on one program: the same picture in either window.
        a.plugin->handleUiControlTag(kPresetListBox, 0.0f);
        ASSERT_TRUE(restore(b.host->component(), stateOf(a.host->component())));

        EditorView viewA, viewB;
        std::string error;
        ASSERT_TRUE(viewA.open(controllerA, left.window, error)) << error;
        ASSERT_TRUE(viewB.open(controllerB, right.window, error)) << error;
        Picture first;
        ASSERT_TRUE(pumpBoth(viewA, viewB, [&] {
            first = pictureOf(left);
            return !first.empty() && first == pictureOf(right);
        })) << "the two editors do not show the same program alike";

        // A click into the left editor opens its preset popup there, and only there.
        left.click(60, 24);
        Picture popup;
        ASSERT_TRUE(pumpBoth(viewA, viewB, [&] {
            popup = pictureOf(left);
            return !popup.empty() && popup != first;
        })) << "no preset popup after a click into the left editor";
        EXPECT_EQ(pictureOf(right), first);
        // A line of the popup picks a program in the left instance alone.
        const int program = 3 + 4 * round;  // popup lines stay inside the window
        left.click(60, 31 + program * 13 + 6);
        Picture picked;
        ASSERT_TRUE(pumpBoth(viewA, viewB, [&] {
            picked = pictureOf(left);
            return a.plugin->instrument ().currentProgramIndex() == program && !picked.empty() && picked != popup &&
                   picked != first;
        })) << "program " << program << " picked from the popup did not show";
        EXPECT_EQ(pictureOf(right), first);

        // The right instance restores the left one's state: both editors alike again.
        ASSERT_TRUE(restore(b.host->component(), stateOf(a.host->component())));
        EXPECT_TRUE(pumpBoth(viewA, viewB, [&] { return pictureOf(right) == picked; }))
            << "the right editor does not show the restored state";

        // Meanwhile the instances without an editor change too.
        for (int k = 0; k < kInstances; ++k) {
            Instance& other = instances[static_cast<std::size_t>(k)];
            if (&other == &a || &other == &b) continue;
            other.plugin->handleUiControlTag(kPresetListBox, static_cast<float>((k * 11 + round) % 61));
            static_cast<Steinberg::Vst::IEditController*>(other.plugin)->setParamNormalized(kFilt1Cutoff, 0.25 * (k % 4));
        }

        // Closing the left editor leaves the right one drawing: a program change shows there, and
        // coming back shows exactly the picture it had.
        viewA.close();
        EXPECT_EQ(left.childWindow(), 0u);
        b.plugin->handleUiControlTag(kPresetListBox, static_cast<float>(program + 1));
        EXPECT_TRUE(pumpBoth(viewA, viewB, [&] {
            const Picture now = pictureOf(right);
            return !now.empty() && now != picked;
        })) << "the right editor stopped drawing when the left one closed";
        b.plugin->handleUiControlTag(kPresetListBox, static_cast<float>(program));
        EXPECT_TRUE(pumpBoth(viewA, viewB, [&] { return pictureOf(right) == picked; }))
            << "the right editor did not come back to its picture";
        viewB.close();
        EXPECT_EQ(right.childWindow(), 0u);
    }

    // Every thread still gets its turn, and the sound stayed numbers. A thread that makes no
    // progress is stuck for good: say so and end the process, since it could never be joined.
    std::array<long, kAudioThreads> seen{};
    for (int t = 0; t < kAudioThreads; ++t) seen[static_cast<std::size_t>(t)] = blocks[static_cast<std::size_t>(t)].load();
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPatienceMs);
    for (int t = 0; t < kAudioThreads; ++t) {
        const auto i = static_cast<std::size_t>(t);
        while (blocks[i].load() < seen[i] + 2) {
            if (std::chrono::steady_clock::now() > end) {
                ADD_FAILURE() << "audio thread " << t << " processed no block in " << kPatienceMs << " ms";
                std::fflush(stdout);
                std::_Exit(1);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    audio.stop = true;
    for (auto& t : audio.threads) t.join();
    EXPECT_EQ(badSamples.load(), 0);
    for (Instance& in : instances) in.host->stop();
}
