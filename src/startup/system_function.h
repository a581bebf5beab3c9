// Functions of an already loaded system DLL that older Windows versions lack, looked up by name
// rather than imported, so that the launcher still loads where they are missing.
#pragma once

#include <windows.h>

template <typename Call>
Call systemFunction(const char* module, const char* name) {
    const HMODULE loaded = GetModuleHandleA(module);
    if (loaded == nullptr) return nullptr;  // GetProcAddress would search the launcher itself
    // Through a plain function type: a FARPROC is no function of the real signature.
    typedef void (*AnyFunction)();
    return reinterpret_cast<Call>(reinterpret_cast<AnyFunction>(GetProcAddress(loaded, name)));
}
