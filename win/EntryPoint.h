#pragma once
// Entry points resolved by name at run time, for facilities that older systems lack.
#include <windows.h>

namespace win {

// Sets entry to the named export of module, or to null when the module is null
// or has no such export; true when it was found.
template <typename Function>
bool BindEntryPoint(HMODULE module, const char* name, Function& entry) {
    entry = nullptr;
    if (module) {
        // Through void*: FARPROC's own signature says nothing about the export's.
        entry = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    }
    return entry != nullptr;
}

} // namespace win
