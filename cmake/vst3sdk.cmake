# The VST 3 SDK as shipped by Debian's juce-modules-source-data: pluginterfaces, base and the
# parts of public.sdk we build on. Compiled once into a static, position-independent library.
set(VST3_SDK_ROOT "/usr/share/juce/modules/juce_audio_processors/format_types/VST3_SDK"
    CACHE PATH "Root of the VST 3 SDK sources")
if(NOT EXISTS "${VST3_SDK_ROOT}/pluginterfaces/base/funknown.h")
  message(FATAL_ERROR "VST 3 SDK not found at ${VST3_SDK_ROOT}: run tools/setup.sh")
endif()

set(_s "${VST3_SDK_ROOT}")
add_library(vst3sdk STATIC
  ${_s}/pluginterfaces/base/conststringtable.cpp
  ${_s}/pluginterfaces/base/coreiids.cpp
  ${_s}/pluginterfaces/base/funknown.cpp
  ${_s}/pluginterfaces/base/ustring.cpp
  ${_s}/base/source/baseiids.cpp
  ${_s}/base/source/fbuffer.cpp
  ${_s}/base/source/fdebug.cpp
  ${_s}/base/source/fobject.cpp
  ${_s}/base/source/fstreamer.cpp
  ${_s}/base/source/fstring.cpp
  ${_s}/base/source/updatehandler.cpp
  ${_s}/base/thread/source/flock.cpp
  ${_s}/public.sdk/source/common/memorystream.cpp
  ${_s}/public.sdk/source/common/pluginview.cpp
  ${_s}/public.sdk/source/vst/vstbus.cpp
  ${_s}/public.sdk/source/vst/vstcomponent.cpp
  ${_s}/public.sdk/source/vst/vstcomponentbase.cpp
  ${_s}/public.sdk/source/vst/vsteditcontroller.cpp
  ${_s}/public.sdk/source/vst/vstinitiids.cpp
  ${_s}/public.sdk/source/vst/vstparameters.cpp
  ${_s}/public.sdk/source/vst/vstpresetfile.cpp
  ${_s}/public.sdk/source/vst/hosting/hostclasses.cpp
  ${_s}/public.sdk/source/vst/hosting/pluginterfacesupport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vst3sdk_gui_iids.cpp
)
target_include_directories(vst3sdk SYSTEM PUBLIC "${_s}")
# RELEASE keeps the SDK's debug-only assertions and printing out of the module.
target_compile_definitions(vst3sdk PUBLIC RELEASE=1)
target_compile_options(vst3sdk PRIVATE -w)
# Third-party code: not instrumented, except for ThreadSanitizer, which must see the reference
# counts' atomics to know that one thread's release follows another's use.
if(NOT VORLIX_SANITIZE MATCHES "thread")
  vorlix_without_sanitizers(vst3sdk)
endif()
find_package(Threads REQUIRED)
target_link_libraries(vst3sdk PUBLIC Threads::Threads ${CMAKE_DL_LIBS})
if(WIN32)
  target_link_libraries(vst3sdk PUBLIC ole32)  # FUID::generate: CoCreateGuid
endif()
unset(_s)
