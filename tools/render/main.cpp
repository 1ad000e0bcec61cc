// vorlix-render: loads the Vorlix307 bundle as a DAW does and renders a MIDI file or the demo
// phrase into a WAV file; --info and --list-programs describe the module instead.
#include "tools/host/PluginInstance.h"
#include "tools/host/PluginModule.h"
#include "tools/render/DemoPhrase.h"
#include "tools/render/EditorScreenshot.h"
#include "tools/render/MidiFile.h"
#include "tools/render/ModuleInfo.h"
#include "tools/render/ProgramAccess.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/RenderSession.h"
#include "tools/render/WavWriter.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

using namespace Vorlix;
namespace fs = std::filesystem;

namespace {

constexpr int kUsageError = 2;
constexpr int kFailure = 1;

int fail (const std::string& message, int code = kFailure)
{
    std::cerr << "vorlix-render: " << message << "\n";
    return code;
}

std::string defaultPlugin ()
{
    if (const char* home = std::getenv ("HOME"); home && *home)
    {
        const fs::path installed = fs::path (home) / ".vst3" / "Vorlix307.vst3";
        std::error_code ec;
        if (fs::is_directory (installed, ec))
            return installed.string ();
    }
    std::error_code ec;
    const fs::path self = fs::read_symlink ("/proc/self/exe", ec);
    return ((ec ? fs::path (".") : self.parent_path ()) / "Vorlix307.vst3").string ();
}

// Progress for renders that take a while: at most once a second, on one line.
class ProgressLine
{
public:
    void operator() (const Render::RenderProgress& p)
    {
        const auto now = std::chrono::steady_clock::now ();
        if (now - last < std::chrono::seconds (1))
            return;
        last = now;
        std::fprintf (stderr, "\rrendering %.1f s of %.1f s", p.renderedSeconds, p.expectedSeconds);
        shown = true;
    }
    ~ProgressLine ()
    {
        if (shown)
            std::fprintf (stderr, "\n");
    }

private:
    std::chrono::steady_clock::time_point last = std::chrono::steady_clock::now ();
    bool shown = false;
};

int run (const Render::RenderOptions& options)
{
    std::string error;
    // The notes are read first: a bad MIDI file is reported before anything is loaded.
    Render::NoteSequence notes;
    if (options.midi.empty ())
        notes = Render::demoPhrase ();
    else if (!Render::readMidiFile (options.midi, notes, error))
        return fail (error);

    const std::string bundle = options.plugin.empty () ? defaultPlugin () : options.plugin;
    std::unique_ptr<Host::PluginModule> module = Host::PluginModule::load (bundle, error);
    if (!module)
        return fail (error);
    Steinberg::PClassInfo classInfo {};
    const int classIndex = module->findAudioModuleClass (classInfo);
    if (classIndex < 0)
        return fail (module->libraryPath () + " offers no audio module class");
    std::unique_ptr<Host::PluginInstance> instance = Host::PluginInstance::create (module->factory (), classInfo.cid, error);
    if (!instance)
        return fail (error);

    if (options.info)
        Render::printModuleInfo (std::cout, *module, classIndex, *instance);
    if (options.listPrograms)
    {
        std::vector<std::string> names;
        if (!Render::listPrograms (*instance, names, error))
            return fail (error);
        for (size_t i = 0; i < names.size (); ++i)
            std::cout << i << " " << names[i] << "\n";
    }
    if (options.info || options.listPrograms)
        return 0;

    if (options.program && !Render::selectProgram (*instance, *options.program, error))
        return fail (error);
    if (!options.preset.empty () && !Render::importPresetFile (*instance, classInfo.cid, options.preset, error))
        return fail (error);
    if (options.precise && !Render::setOscillatorMode (*instance, *options.precise, error))
        return fail (error);

    if (!options.saveState.empty () && !Render::saveComponentState (*instance, options.saveState, error))
        return fail (error);
    if (!options.exportPreset.empty () && !Render::exportPresetFile (*instance, options.exportPreset, error))
        return fail (error);

    if (!options.screenshot.empty ())
    {
        int width = 0, height = 0;
        if (!Render::takeEditorScreenshot (instance->controller (), options.screenshot, options.scale, width, height,
                                           error))
            return fail (error);
        std::printf ("%s: %d x %d editor screenshot\n", options.screenshot.c_str (), width, height);
        return 0;
    }

    Render::WavWriter wav;
    if (!wav.open (options.out, static_cast<int> (std::lround (options.rate)), error))
        return fail (error);
    if (!instance->start ({options.rate, options.block}, error))
        return fail (error);

    Render::RenderLength length;
    length.seconds = options.seconds;
    if (!options.seconds && notes.lengthSeconds > length.maxTotalSeconds)
        std::cerr << "vorlix-render: rendering the first " << length.maxTotalSeconds << " s (use --seconds for more)\n";
    {
        ProgressLine progress;
        const bool ok = Render::renderSequence (
            *instance, notes, options.rate, options.block, length,
            [&wav] (const float* l, const float* r, int n, std::string& e) { return wav.write (l, r, n, e); },
            std::ref (progress), error);
        if (!ok)
            return fail (error);
    }
    instance->stop ();
    if (!wav.close (error))
        return fail (error);

    const double seconds = static_cast<double> (wav.frames ()) / options.rate;
    char peak[32];
    if (wav.peak () > 0.f)
        std::snprintf (peak, sizeof peak, "%.1f dBFS", 20.0 * std::log10 (static_cast<double> (wav.peak ())));
    else
        std::snprintf (peak, sizeof peak, "-inf dBFS (silent)");
    std::printf ("%s: %.2f s, %d Hz, 32-bit float stereo, peak %s\n", options.out.c_str (), seconds,
                 static_cast<int> (std::lround (options.rate)), peak);
    // The file is kept for inspection, but a render with NaN or infinity in it is not a success.
    if (wav.nonFiniteSamples () > 0)
        return fail (options.out + " holds " + std::to_string (wav.nonFiniteSamples ()) + " samples that are not finite numbers");
    return 0;
}

} // namespace

int main (int argc, char** argv)
{
    std::vector<std::string> args (argv + 1, argv + argc);
    Render::RenderOptions options;
    std::string error;
    if (!Render::parseRenderOptions (args, options, error))
        return fail (error, kUsageError);
    if (options.help)
    {
        std::cout << Render::renderUsage ();
        return 0;
    }
    return run (options);
}
