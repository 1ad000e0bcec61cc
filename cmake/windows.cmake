# What the Windows x64 cross-build (cmake/mingw-w64-x86_64.cmake) changes: one self-contained
# module and host, no Linux package looked up, the resource tables made by a Linux build's tool.

# A host loads the module into its own process: it must not depend on the MinGW runtime DLLs,
# which the user does not have, so libstdc++, libgcc and winpthread are linked in.
add_link_options(-static -static-libgcc -static-libstdc++)
# Windows headers: no min/max macros, and Windows 10's API (GetDpiForWindow).
add_compile_definitions(NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0A00 UNICODE _UNICODE)

# nlohmann/json and stb_image are header-only; the Debian packages would put /usr/include
# (the Linux C library's headers) on the cross compiler's path, so only their folders are copied.
set(_headers "${CMAKE_BINARY_DIR}/windows-include")
file(COPY /usr/include/nlohmann DESTINATION "${_headers}")
file(COPY /usr/include/stb/stb_image.h /usr/include/stb/stb_image_write.h DESTINATION "${_headers}/stb")
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE "${_headers}")
add_library(vorlix_windows_headers INTERFACE IMPORTED)  # stb/stb_image*.h
target_include_directories(vorlix_windows_headers SYSTEM INTERFACE "${_headers}")
unset(_headers)

# The resource pack is embedded by vorlix-embed, a build tool that runs on the build machine.
set(VORLIX_EMBED_EXECUTABLE "" CACHE FILEPATH "vorlix-embed of a Linux build (build/tools/embed/vorlix-embed)")
if(NOT EXISTS "${VORLIX_EMBED_EXECUTABLE}")
  message(FATAL_ERROR "Windows build: -DVORLIX_EMBED_EXECUTABLE=<Linux build>/tools/embed/vorlix-embed is needed")
endif()
add_executable(vorlix-embed IMPORTED)
set_target_properties(vorlix-embed PROPERTIES IMPORTED_LOCATION "${VORLIX_EMBED_EXECUTABLE}")

# Neither the benchmarks nor the Linux test suite run on Windows.
set(VORLIX_BUILD_BENCH OFF CACHE BOOL "" FORCE)
set(VORLIX_BUILD_TESTS OFF CACHE BOOL "" FORCE)
