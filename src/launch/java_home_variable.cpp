#include "java_home_variable.h"

#include "../startup/ansi_path.h"

bool readJavaHomeVariable(char* buffer, unsigned capacity) {
    return readAnsiVariable("JAVA_HOME", buffer, capacity);
}
