// Whatever cannot be read only shortens the list: nothing is reported and nothing is logged.
#include "registry_scan.h"

#include <windows.h>
#include <string.h>

namespace {

const DWORD textCapacity = 261;  // 260 characters and a NUL

// Value data need not end in a NUL; this buffer keeps one byte beyond what the registry may fill,
// so that such data can be terminated without reading or writing outside it.
typedef char ValueText[textCapacity + 1];

class RegistryKey {
public:
    explicit RegistryKey(HKEY key) : key_(key) {}
    ~RegistryKey() { RegCloseKey(key_); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    operator HKEY() const { return key_; }

private:
    HKEY key_;
};

bool readValueText(HKEY key, const char* name, ValueText& text) {
    DWORD length = textCapacity;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &length) !=
        ERROR_SUCCESS) {
        return false;
    }
    text[length < textCapacity ? length : textCapacity] = '\0';
    return true;
}

void scanSubkey(RuntimeList& list, HKEY key, char* name, REGSAM view) {
    trimSpaces(name);
    ValueText text;
    memcpy(text, name, strlen(name) + 1);
    RuntimeVersion version = parseVersionName(text);

    HKEY opened;
    if (RegOpenKeyExA(key, name, 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS) return;
    RegistryKey subkey(opened);
    if (wantsMicroVersion(version) && readValueText(subkey, "MicroVersion", text)) {
        applyMicroVersion(version, text);
    }
    if (!readValueText(subkey, "JavaHome", text)) return;
    mergeRuntime(list, makeHomeText(text), version);
}

const char* const javaSoftKeys[] = {
    "SOFTWARE\\JavaSoft\\Java Runtime Environment",
    "SOFTWARE\\JavaSoft\\Java Plug-in",
    "SOFTWARE\\JavaSoft\\Java Development Kit",
};
// Where Java 9 and later register themselves.
const char* const newerJavaSoftKeys[] = {
    "SOFTWARE\\JavaSoft\\JRE",
    "SOFTWARE\\JavaSoft\\JDK",
};

// The registry view this build does not see by default: a 32-bit launcher on a 64-bit system
// reads the 32-bit view, where a 64-bit runtime is not registered, and the reverse.
#ifdef _WIN64
const REGSAM otherView = KEY_WOW64_32KEY;
#else
const REGSAM otherView = KEY_WOW64_64KEY;
#endif

}  // namespace

void scanRuntimeKey(RuntimeList& list, const char* keyPath, REGSAM view) {
    HKEY opened;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_ENUMERATE_SUB_KEYS | view, &opened) !=
        ERROR_SUCCESS) {
        return;
    }
    RegistryKey key(opened);
    char name[textCapacity];
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = textCapacity;
        FILETIME written;
        // Any result but success ends this key: the end of the list, or a name that was not
        // delivered (too long, or a failure), which must not be parsed.
        if (RegEnumKeyExA(key, index, name, &nameLength, nullptr, nullptr, nullptr, &written) !=
            ERROR_SUCCESS) {
            break;
        }
        name[nameLength < textCapacity ? nameLength : textCapacity - 1] = '\0';
        scanSubkey(list, key, name, view);
    }
}

void collectInstalledRuntimes(RuntimeList& list) {
    list.clear();
    for (const char* key : javaSoftKeys) scanRuntimeKey(list, key, 0);
}

void collectFurtherRuntimes(RuntimeList& list) {
    list.clear();
    for (const char* key : newerJavaSoftKeys) scanRuntimeKey(list, key, 0);
    for (const char* key : javaSoftKeys) scanRuntimeKey(list, key, otherView);
    for (const char* key : newerJavaSoftKeys) scanRuntimeKey(list, key, otherView);
}
