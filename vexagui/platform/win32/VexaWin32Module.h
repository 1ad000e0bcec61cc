// The module (DLL or program) the toolkit is linked into, and the names of its window classes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace vexagui::win32 {

inline HINSTANCE thisModule ()
{
    HMODULE module = nullptr;
    GetModuleHandleExW (GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                        reinterpret_cast<LPCWSTR> (&thisModule), &module);
    return module;
}

// One window class per module: two plug-ins built on the toolkit share a process, and each
// class must name its own module's window procedure.
inline std::wstring moduleWindowClassName (const wchar_t* stem, HINSTANCE module)
{
    return stem + std::to_wstring (reinterpret_cast<std::uintptr_t> (module));
}

} // namespace vexagui::win32
