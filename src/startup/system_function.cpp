#include "system_function.h"

const char kernel32[] = "kernel32.dll";

void* systemProcedure(const char* module, const char* name) {
    const HMODULE loaded = GetModuleHandleA(module);
    if (loaded == nullptr) return nullptr;  // GetProcAddress would search the launcher itself
    return reinterpret_cast<void*>(GetProcAddress(loaded, name));
}
