#include "tools/host/PluginModule.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <cstring>
#include <filesystem>
#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

using namespace Steinberg;
namespace fs = std::filesystem;

namespace Vorlix::Host {

namespace {
using GetFactoryFunc = IPluginFactory* (PLUGIN_API*) ();

// The platform's module conventions: where the library sits in the bundle, how it is opened, and
// the entry and exit points a host calls around its use.
#ifdef _WIN32
constexpr const char* kArchitectureFolder = "x86_64-win";
constexpr const char* kLibrarySuffix = ".vst3";
constexpr const char* kEntryName = "InitDll";
constexpr const char* kExitName = "ExitDll";
using ModuleEntryFunc = bool (PLUGIN_API*) ();
using ModuleExitFunc = bool (PLUGIN_API*) ();

void* openLibrary (const std::string& path, std::string& why)
{
    HMODULE module = LoadLibraryW (fs::path (path).wstring ().c_str ());
    if (module == nullptr)
        why = "Windows error " + std::to_string (GetLastError ());
    return reinterpret_cast<void*> (module);
}
void* symbol (void* handle, const char* name)
{
    return reinterpret_cast<void*> (GetProcAddress (static_cast<HMODULE> (handle), name));
}
void closeLibrary (void* handle) { FreeLibrary (static_cast<HMODULE> (handle)); }
bool enter (void* entry, void*) { return reinterpret_cast<ModuleEntryFunc> (entry) (); }
#else
constexpr const char* kArchitectureFolder = "x86_64-linux";
constexpr const char* kLibrarySuffix = ".so";
constexpr const char* kEntryName = "ModuleEntry";
constexpr const char* kExitName = "ModuleExit";
using ModuleEntryFunc = bool (*) (void*);
using ModuleExitFunc = bool (*) ();

void* openLibrary (const std::string& path, std::string& why)
{
    void* handle = dlopen (path.c_str (), RTLD_LAZY | RTLD_LOCAL);
    if (handle == nullptr)
    {
        const char* text = dlerror ();
        why = text ? text : "unknown dlopen error";
    }
    return handle;
}
void* symbol (void* handle, const char* name)
{
    dlerror ();
    return dlsym (handle, name);
}
void closeLibrary (void* handle) { dlclose (handle); }
bool enter (void* entry, void* handle) { return reinterpret_cast<ModuleEntryFunc> (entry) (handle); }
#endif
} // namespace

std::string PluginModule::bundleLibraryPath (const std::string& bundlePath)
{
    fs::path bundle (bundlePath);
    while (bundle.has_relative_path () && bundle.filename ().empty ())
        bundle = bundle.parent_path (); // "X.vst3/" names the same bundle as "X.vst3"
    return (bundle / "Contents" / kArchitectureFolder / (bundle.stem ().string () + kLibrarySuffix)).string ();
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
    std::string why;
    module->handle = openLibrary (lib, why);
    if (module->handle == nullptr)
    {
        error = "cannot load " + lib + ": " + why;
        return nullptr;
    }

    void* entry = symbol (module->handle, kEntryName);
    if (entry == nullptr)
    {
        error = lib + " does not export " + kEntryName;
        return nullptr;
    }
    if (!enter (entry, module->handle))
    {
        error = std::string (kEntryName) + " of " + lib + " failed";
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
        if (auto exitFunc = reinterpret_cast<ModuleExitFunc> (symbol (handle, kExitName)))
            exitFunc ();
    }
    if (handle != nullptr)
        closeLibrary (handle);
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
