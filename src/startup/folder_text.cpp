#include "folder_text.h"

#include <string.h>

void trimToFolder(char* modulePath) {
    char* lastBackslash = nullptr;
    for (char* at = modulePath; *at != '\0'; ++at) {
        if (*at == '\\') lastBackslash = at;
    }
    if (lastBackslash != nullptr) lastBackslash[1] = '\0';
}

void trimDocumentsFolder(char* folder) {
    const size_t length = strlen(folder);
    if (length > 3 && folder[length - 1] == '\\') folder[length - 1] = '\0';
}
