// The system DLLs that are not known DLLs are delay-loaded (cmake/SystemDlls.cmake): the
// hook below loads each from the system folder alone, so that a DLL of the same name beside
// the executable or in the working directory is never taken instead.

#include "Platform.h"

#include <windows.h>
#include <delayimp.h>

namespace {

FARPROC WINAPI LoadFromSystemFolder(unsigned note, PDelayLoadInfo info)
{
    if (note != dliNotePreLoadLibrary)
        return nullptr;
    HMODULE module = ::LoadLibraryExA(info->szDll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Not there: no other folder is tried. The executable has none of the DLL's functions,
    // so the call fails as it would with the DLL missing.
    return reinterpret_cast<FARPROC>(module ? module : ::GetModuleHandleW(nullptr));
}

} // namespace

// The delay-load helper calls these; set before any code runs, as constant data.
extern "C" {
PfnDliHook __pfnDliNotifyHook2 = LoadFromSystemFolder;
PfnDliHook __pfnDliFailureHook2 = nullptr;
}

namespace plat {

void RestrictLibrarySearch()
{
    // Libraries loaded later by name, by the toolkit or by the system's own DLLs, also come
    // from the system folder only.
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

} // namespace plat
