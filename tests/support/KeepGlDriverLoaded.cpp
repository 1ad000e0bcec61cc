// Mesa's GLX vendor library and its DRI driver are unloaded when the last display connection that
// used GLX closes. Whatever they still held in their own globals then has no module to belong to,
// and LeakSanitizer reports it as a direct leak "(<unknown module>)", where no suppression can name
// it. Loading both once more, never to be unloaded, keeps that memory reachable and attributed, so
// the leak check sees only the project's own memory whatever Mesa version is installed.
//
// Linked as an object file into every test executable that reaches GLX (tests/CMakeLists.txt
// does that by looking at what each executable links), so no test can forget it.
#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

std::string directoryOf (void* handle)
{
    link_map* map = nullptr;
    if (::dlinfo (handle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr || map->l_name == nullptr)
        return {};
    const std::string path = map->l_name;
    const auto slash = path.rfind ('/');
    return slash == std::string::npos ? std::string {} : path.substr (0, slash);
}

// RTLD_LAZY: the driver is big; binding its symbols up front would cost every test process time.
void keepLoaded (const std::string& path)
{
    ::dlopen (path.c_str (), RTLD_LAZY | RTLD_NODELETE);
}

const bool keepGlDriverLoaded = [] {
    void* glx = ::dlopen ("libGLX_mesa.so.0", RTLD_LAZY | RTLD_NODELETE);
    if (glx == nullptr)
        return false;
    // Where Mesa looks for its drivers: LIBGL_DRIVERS_PATH first, else "dri" beside the library.
    std::string directories;
    if (const char* fromEnvironment = std::getenv ("LIBGL_DRIVERS_PATH"))
        directories = std::string (fromEnvironment) + ":";
    const std::string libraryDirectory = directoryOf (glx);
    if (! libraryDirectory.empty ())
        directories += libraryDirectory + "/dri";
    // Found through /lib on a merged /usr, while Mesa names its drivers under /usr/lib: the same
    // files, but only the same path is certain to be the same loaded object everywhere.
    if (libraryDirectory.rfind ("/lib/", 0) == 0)
        directories += ":/usr" + libraryDirectory + "/dri";
    std::size_t begin = 0;
    while (begin <= directories.size ())
    {
        const std::size_t end = std::min (directories.find (':', begin), directories.size ());
        const std::string directory = directories.substr (begin, end - begin);
        if (! directory.empty ())
            for (const char* driver : {"swrast_dri.so", "kms_swrast_dri.so"})
                keepLoaded (directory + "/" + driver);
        begin = end + 1;
    }
    return true;
}();

} // namespace
