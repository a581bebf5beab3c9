// Functions of an already loaded system DLL that older Windows versions lack, looked up by name
// rather than imported, so that the launcher still loads where they are missing.
#pragma once

#include <windows.h>

// The name of the module most of them are in, kept once for every user.
extern const char kernel32[];

// GetCurrentProcess's pseudo handle, without importing the call.
inline HANDLE thisProcess() {
    return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-1));
}

// The function's address, or null when the module is not loaded or lacks it.
void* systemProcedure(const char* module, const char* name);

template <typename Call>
Call systemFunction(const char* module, const char* name) {
    return reinterpret_cast<Call>(systemProcedure(module, name));
}
