// vorlix-presets: writes the instrument's factory presets, one .vstpreset file per built-in
// program, from the built bundle itself: each file's component state is exactly what getState
// returns right after that program was picked. The files go to OUT/<vendor>/<plug-in name>/ (names
// as the factory reports them, made safe as hosts make them), so OUT mirrors a host's preset root.
// Unchanged files are left alone and files of programs that no longer exist are removed, so a
// rebuild gives byte-identical files.
#include "tools/host/HostMemoryStream.h"
#include "tools/host/PluginInstance.h"
#include "tools/host/PluginModule.h"
#include "tools/presets/VstPresetFile.h"
#include "tools/render/ProgramAccess.h"

#include "pluginterfaces/base/ipluginbase.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>

using namespace Vorlix;
using namespace Steinberg;
namespace fs = std::filesystem;

namespace {

int fail (const std::string& message)
{
    std::cerr << "vorlix-presets: " << message << "\n";
    return 1;
}

std::string field (const char8* text, size_t size)
{
    return std::string (text, strnlen (text, size));
}

Presets::Bytes readFile (const fs::path& path)
{
    std::ifstream in (path, std::ios::binary);
    return Presets::Bytes ((std::istreambuf_iterator<char> (in)), std::istreambuf_iterator<char> ());
}

bool writeIfChanged (const fs::path& path, const Presets::Bytes& bytes, std::string& error)
{
    std::error_code ec;
    if (fs::is_regular_file (path, ec) && readFile (path) == bytes)
        return true;
    std::ofstream out (path, std::ios::binary | std::ios::trunc);
    out.write (reinterpret_cast<const char*> (bytes.data ()), static_cast<std::streamsize> (bytes.size ()));
    out.close ();
    if (!out)
    {
        error = "cannot write " + path.string ();
        return false;
    }
    return true;
}

int run (const std::string& bundle, const fs::path& outRoot)
{
    std::string error;
    std::unique_ptr<Host::PluginModule> module = Host::PluginModule::load (bundle, error);
    if (!module)
        return fail (error);
    PClassInfo classInfo {};
    const int classIndex = module->findAudioModuleClass (classInfo);
    if (classIndex < 0)
        return fail (module->libraryPath () + " offers no audio module class");

    // Vendor, name and sub-categories as a host's scanner reads them: the class's own vendor when
    // it has one, else the factory's.
    PFactoryInfo factoryInfo {};
    module->factory ()->getFactoryInfo (&factoryInfo);
    std::string vendor = field (factoryInfo.vendor, sizeof factoryInfo.vendor);
    std::string subCategories;
    FUnknownPtr<IPluginFactory2> factory2 (module->factory ());
    PClassInfo2 info2 {};
    if (factory2 && factory2->getClassInfo2 (classIndex, &info2) == kResultOk)
    {
        subCategories = field (info2.subCategories, sizeof info2.subCategories);
        if (const std::string classVendor = field (info2.vendor, sizeof info2.vendor); !classVendor.empty ())
            vendor = classVendor;
    }
    const std::string pluginName = field (classInfo.name, sizeof classInfo.name);

    std::unique_ptr<Host::PluginInstance> instance = Host::PluginInstance::create (module->factory (), classInfo.cid, error);
    if (!instance)
        return fail (error);
    std::vector<std::string> programs;
    if (!Render::listPrograms (*instance, programs, error))
        return fail (error);

    const fs::path folder = outRoot / Presets::safeFileName (vendor) / Presets::safeFileName (pluginName);
    std::error_code ec;
    fs::create_directories (folder, ec);
    if (ec)
        return fail ("cannot create " + folder.string () + ": " + ec.message ());

    const FUID classId = FUID::fromTUID (classInfo.cid);
    std::set<std::string> written;
    for (size_t i = 0; i < programs.size (); ++i)
    {
        if (!Render::selectProgram (*instance, std::to_string (i), error))
            return fail (error);
        Host::HostMemoryStream state;
        if (instance->component ()->getState (&state) != kResultOk)
            return fail ("the component did not give its state for program " + programs[i]);
        const auto* data = reinterpret_cast<const std::uint8_t*> (state.getData ());
        const Presets::Bytes componentState (data, data + state.getSize ());

        Presets::MetaInfo meta {programs[i], pluginName, subCategories, Presets::categoryOf (programs[i])};
        Presets::Bytes file;
        if (!Presets::writePresetFile (classId, componentState, Presets::metaInfoXml (meta), file))
            return fail ("cannot build the preset of program " + programs[i]);
        const std::string fileName = Presets::safeFileName (programs[i]) + ".vstpreset";
        if (!written.insert (fileName).second)
            return fail ("two programs would share the file name " + fileName);
        if (!writeIfChanged (folder / fileName, file, error))
            return fail (error);
    }
    // Presets of programs that were renamed or removed would otherwise linger in hosts' lists.
    for (const auto& entry : fs::directory_iterator (folder, ec))
        if (entry.path ().extension () == ".vstpreset" && !written.count (entry.path ().filename ().string ()))
            fs::remove (entry.path (), ec);

    std::cout << written.size () << " presets in " << folder.string () << "\n";
    return 0;
}

} // namespace

int main (int argc, char** argv)
{
    std::string bundle, out;
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string option = argv[i];
        if (option == "--plugin")
            bundle = argv[i + 1];
        else if (option == "--out")
            out = argv[i + 1];
        else
            return fail ("unknown option " + option);
    }
    if (bundle.empty () || out.empty () || argc % 2 == 0)
    {
        std::cerr << "usage: vorlix-presets --plugin DIR.vst3 --out PRESET_ROOT\n";
        return 2;
    }
    return run (bundle, out);
}
