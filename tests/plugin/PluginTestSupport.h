// Shared helpers of the plug-in tests: an in-process instance driven through the VST 3 interfaces
// by the project's host library, state streams as byte vectors, and output measurements.
#pragma once

#include "VorlixGenPolyphonic.h"
#include "VorlixVst3Plugin.h"

#include "tools/host/HostMemoryStream.h"
#include "tools/host/PluginInstance.h"
#include "vexagui/views/VexaControl.h"
#include "vexagui/views/VexaListBox.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace VorlixTest {

using Bytes = std::vector<std::uint8_t>;

/** A linked instance: the host library owns the reference, `plugin` reaches the own operations. */
struct Linked
{
    VorlixVst3Plugin* plugin = nullptr;
    std::unique_ptr<Vorlix::Host::PluginInstance> host;

    Steinberg::Vst::IEditController* controller () const { return host->controller (); }
};

inline Linked makeLinked ()
{
    Linked l;
    l.plugin = new VorlixVst3Plugin ();
    std::string error;
    l.host = Vorlix::Host::PluginInstance::adopt (static_cast<Steinberg::Vst::IAudioProcessor*> (l.plugin), error);
    EXPECT_TRUE (l.host) << error;
    return l;
}

inline Linked makeStarted (double sampleRate = 48000.0, int maxBlock = 256)
{
    Linked l = makeLinked ();
    Vorlix::Host::ProcessConfig config;
    config.sampleRate = sampleRate;
    config.maxBlock = maxBlock;
    std::string error;
    EXPECT_TRUE (l.host->start (config, error)) << error;
    return l;
}

inline Bytes getStateBytes (Steinberg::Vst::IComponent* component)
{
    Vorlix::Host::HostMemoryStream stream;
    EXPECT_EQ (component->getState (&stream), Steinberg::kResultOk);
    const auto* data = reinterpret_cast<const std::uint8_t*> (stream.getData ());
    return Bytes (data, data + stream.getSize ());
}

inline Steinberg::tresult setStateBytes (Steinberg::Vst::IComponent* component, const Bytes& bytes)
{
    Vorlix::Host::HostMemoryStream stream;
    Steinberg::int32 written = 0;
    if (!bytes.empty ())
        stream.write (const_cast<std::uint8_t*> (bytes.data ()), static_cast<Steinberg::int32> (bytes.size ()), &written);
    stream.seek (0, Steinberg::IBStream::kIBSeekSet, nullptr);
    return component->setState (&stream);
}

/** A state record: program index, then one float per value, little-endian. */
inline Bytes stateRecord (std::int32_t program, const std::vector<float>& values)
{
    Bytes b;
    auto put = [&b] (std::uint32_t w) {
        for (int i = 0; i < 4; ++i)
            b.push_back (static_cast<std::uint8_t> (w >> (8 * i)));
    };
    put (static_cast<std::uint32_t> (program));
    for (float v : values)
    {
        std::uint32_t w;
        std::memcpy (&w, &v, 4);
        put (w);
    }
    return b;
}

inline double rms (const float* x, int n)
{
    double sum = 0.0;
    for (int i = 0; i < n; ++i)
        sum += static_cast<double> (x[i]) * x[i];
    return n > 0 ? std::sqrt (sum / n) : 0.0;
}

/** Twelve simultaneous notes (more than any program's polyphony) held for `blocks` - 20 blocks of
    256 frames and then released, both channels of every block in one vector. `beforeBlock` (when
    given) runs before each block is processed, with the block's number. */
inline std::vector<float> playPhrase (Linked& l, int blocks = 60,
                                      const std::function<void (int block)>& beforeBlock = {})
{
    std::vector<float> out;
    for (int n = 0; n < 12; ++n)
        l.host->events ().addNoteOn (0, 40 + 3 * n, 0.9f);
    for (int b = 0; b < blocks; ++b)
    {
        if (beforeBlock)
            beforeBlock (b);
        if (b == blocks - 20)
            for (int n = 0; n < 12; ++n)
                l.host->events ().addNoteOff (0, 40 + 3 * n);
        l.host->process (256);
        out.insert (out.end (), l.host->output (0), l.host->output (0) + 256);
        out.insert (out.end (), l.host->output (1), l.host->output (1) + 256);
    }
    return out;
}

/** What the editor model shows: every bound control's value, then the preset list's row. Asks for
    a view first, as a host opening the editor does, when there is no editor yet. */
inline std::vector<float> editorShows (Linked& l)
{
    if (!l.plugin->editorModelIfBuilt ())
        if (Steinberg::IPlugView* view = l.controller ()->createView ("editor"))
            view->release ();
    const Vorlix::VorlixEditor* editor = l.plugin->editorModelIfBuilt ();
    EXPECT_NE (editor, nullptr);
    std::vector<float> shown;
    if (!editor)
        return shown;
    for (const auto& binding : editor->paramBindings ())
        shown.push_back (binding.control ? binding.control->normalizedValue () : -1.0f);
    shown.push_back (editor->presetListBox () ? static_cast<float> (editor->presetListBox ()->selectedValue ()) : -1.0f);
    return shown;
}

/** Patch-voice detune knobs as the engine holds them (oscillator 1, oscillator 2). */
inline std::pair<float, float> engineDetunes (const VorlixVst3Plugin& plugin)
{
    const auto& osc = plugin.instrument ().engineWhileIdle ().patchVoice.osc[0];
    return {osc.detuneKnob1, osc.detuneKnob2};
}

} // namespace VorlixTest
