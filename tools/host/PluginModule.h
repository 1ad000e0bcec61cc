// Loads a VST 3 bundle as a host does. Linux: dlopen Contents/x86_64-linux/<name>.so and call
// ModuleEntry with the library handle; Windows: LoadLibrary Contents/x86_64-win/<name>.vst3 and
// call InitDll. Then the factory comes from GetPluginFactory; on unload the factory is released,
// ModuleExit (ExitDll) called and the library closed. Every failure becomes one readable line.
#pragma once

#include "pluginterfaces/base/ipluginbase.h"

#include <memory>
#include <string>

namespace Vorlix::Host {

class PluginModule
{
public:
    /** The shared library inside a bundle: DIR.vst3/Contents/x86_64-linux/DIR.so on Linux,
        DIR.vst3/Contents/x86_64-win/DIR.vst3 on Windows. */
    static std::string bundleLibraryPath (const std::string& bundlePath);

    /** Null with `error` set when the bundle cannot be loaded or lacks an entry point. */
    static std::unique_ptr<PluginModule> load (const std::string& bundlePath, std::string& error);

    ~PluginModule ();
    PluginModule (const PluginModule&) = delete;
    PluginModule& operator= (const PluginModule&) = delete;

    Steinberg::IPluginFactory* factory () const { return pluginFactory; }
    const std::string& libraryPath () const { return library; }

    /** Index of the first class of category "Audio Module Class", -1 when the factory has none. */
    int findAudioModuleClass (Steinberg::PClassInfo& info) const;

private:
    PluginModule () = default;

    std::string library;
    void* handle = nullptr;
    Steinberg::IPluginFactory* pluginFactory = nullptr;
    bool entered = false;
};

} // namespace Vorlix::Host
