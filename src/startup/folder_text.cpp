#include "folder_text.h"

#include <string.h>

#include "letters.h"

void trimToFolder(char* modulePath) {
    char* last = lastBackslash(modulePath);
    if (last != nullptr) last[1] = '\0';
}

void trimDocumentsFolder(char* folder) {
    const size_t length = strlen(folder);
    if (length > 3 && finalBackslashes(folder) > 0) folder[length - 1] = '\0';
}
