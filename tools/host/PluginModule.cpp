#include "tools/host/PluginModule.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <cstring>
#include <dlfcn.h>
#include <filesystem>

using namespace Steinberg;
namespace fs = std::filesystem;

namespace Vorlix::Host {

namespace {
using ModuleEntryFunc = bool (*) (void*);
using ModuleExitFunc = bool (*) ();
using GetFactoryFunc = IPluginFactory* (PLUGIN_API*) ();

void* symbol (void* handle, const char* name)
{
    dlerror ();
    return dlsym (handle, name);
}
} // namespace

std::string PluginModule::bundleLibraryPath (const std::string& bundlePath)
{
    fs::path bundle (bundlePath);
    while (bundle.has_relative_path () && bundle.filename ().empty ())
        bundle = bundle.parent_path (); // "X.vst3/" names the same bundle as "X.vst3"
    return (bundle / "Contents" / "x86_64-linux" / (bundle.stem ().string () + ".so")).string ();
}

std::unique_ptr<PluginModule> PluginModule::load (const std::string& bundlePath, std::string& error)
{
    std::error_code ec;
    if (!fs::is_directory (bundlePath, ec))
    {
        error = "plug-in bundle not found: " + bundlePath;
        return nullptr;
    }
    const std::string lib = bundleLibraryPath (bundlePath);
    if (!fs::is_regular_file (lib, ec))
    {
        error = "not a VST 3 bundle for this platform (missing " + lib + ")";
        return nullptr;
    }

    std::unique_ptr<PluginModule> module (new PluginModule);
    module->library = lib;
    module->handle = dlopen (lib.c_str (), RTLD_LAZY | RTLD_LOCAL);
    if (module->handle == nullptr)
    {
        const char* why = dlerror ();
        error = "cannot load " + lib + ": " + (why ? why : "unknown dlopen error");
        return nullptr;
    }

    auto entry = reinterpret_cast<ModuleEntryFunc> (symbol (module->handle, "ModuleEntry"));
    if (entry == nullptr)
    {
        error = lib + " does not export ModuleEntry";
        return nullptr;
    }
    if (!entry (module->handle))
    {
        error = "ModuleEntry of " + lib + " failed";
        return nullptr;
    }
    module->entered = true;

    auto getFactory = reinterpret_cast<GetFactoryFunc> (symbol (module->handle, "GetPluginFactory"));
    if (getFactory == nullptr)
    {
        error = lib + " does not export GetPluginFactory";
        return nullptr;
    }
    module->pluginFactory = getFactory ();
    if (module->pluginFactory == nullptr)
    {
        error = "GetPluginFactory of " + lib + " returned no factory";
        return nullptr;
    }
    return module;
}

PluginModule::~PluginModule ()
{
    if (pluginFactory != nullptr)
        pluginFactory->release ();
    if (entered)
    {
        if (auto exitFunc = reinterpret_cast<ModuleExitFunc> (symbol (handle, "ModuleExit")))
            exitFunc ();
    }
    if (handle != nullptr)
        dlclose (handle);
}

int PluginModule::findAudioModuleClass (PClassInfo& info) const
{
    if (pluginFactory == nullptr)
        return -1;
    const int32 n = pluginFactory->countClasses ();
    for (int32 i = 0; i < n; ++i)
    {
        PClassInfo ci {};
        if (pluginFactory->getClassInfo (i, &ci) == kResultOk
            && std::strncmp (ci.category, kVstAudioEffectClass, PClassInfo::kCategorySize) == 0)
        {
            info = ci;
            return i;
        }
    }
    return -1;
}

} // namespace Vorlix::Host
