// A shared library that enters like a VST 3 module but exports no GetPluginFactory: the loader
// must say so instead of crashing.
extern "C" {
__attribute__ ((visibility ("default"))) bool ModuleEntry (void*) { return true; }
__attribute__ ((visibility ("default"))) bool ModuleExit () { return true; }
}
