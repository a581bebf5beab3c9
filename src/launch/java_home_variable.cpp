#include "java_home_variable.h"

#include <windows.h>

bool readJavaHomeVariable(char* buffer, unsigned capacity) {
    // The call answers the size it needs, NUL included, when the value does not fit.
    const DWORD length = GetEnvironmentVariableA("JAVA_HOME", buffer, capacity);
    return length > 0 && length < capacity;
}
