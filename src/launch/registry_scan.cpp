// Whatever cannot be read only shortens the list: nothing is reported and nothing is logged.
// Registry data is untrusted: any value may have another type, lack its NUL, or be longer than
// the buffers, and every reading stays inside them.
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

// A key under which runtimes are registered: one subkey per version (or per name, such as
// zulu-17), and the home folder in a value of that subkey, or of each flavour subkey below it
// (hotspot\MSI, openj9\MSI) in turn.
struct RuntimeKey {
    const char* path;  // under HKEY_LOCAL_MACHINE
    const char* flavours[2];
    const char* homeValue;
    RuntimeSource source;  // the JavaSoft keys also carry MicroVersion
};

const RuntimeKey javaSoftKeys[] = {
    {"SOFTWARE\\JavaSoft\\Java Runtime Environment", {}, "JavaHome", javaSoftKey},
    {"SOFTWARE\\JavaSoft\\Java Plug-in", {}, "JavaHome", javaSoftKey},
    {"SOFTWARE\\JavaSoft\\Java Development Kit", {}, "JavaHome", javaSoftKey},
};
// Where Java 9 and later register themselves.
const RuntimeKey newerJavaSoftKeys[] = {
    {"SOFTWARE\\JavaSoft\\JRE", {}, "JavaHome", javaSoftKey},
    {"SOFTWARE\\JavaSoft\\JDK", {}, "JavaHome", javaSoftKey},
};
// Where today's distributions register themselves, leaving the JavaSoft keys alone.
const RuntimeKey vendorKeys[] = {
    {"SOFTWARE\\Eclipse Adoptium\\JDK", {"hotspot\\MSI"}, "Path", vendorKey},
    {"SOFTWARE\\Eclipse Adoptium\\JRE", {"hotspot\\MSI"}, "Path", vendorKey},
    {"SOFTWARE\\AdoptOpenJDK\\JDK", {"hotspot\\MSI", "openj9\\MSI"}, "Path", vendorKey},
    {"SOFTWARE\\AdoptOpenJDK\\JRE", {"hotspot\\MSI", "openj9\\MSI"}, "Path", vendorKey},
    {"SOFTWARE\\Eclipse Foundation\\JDK", {"hotspot\\MSI"}, "Path", vendorKey},
    {"SOFTWARE\\Microsoft\\JDK", {"hotspot\\MSI"}, "Path", vendorKey},
    {"SOFTWARE\\Semeru\\JDK", {"openj9\\MSI"}, "Path", vendorKey},
    {"SOFTWARE\\Semeru\\JRE", {"openj9\\MSI"}, "Path", vendorKey},
    {"SOFTWARE\\Azul Systems\\Zulu", {}, "InstallationPath", vendorKey},
    {"SOFTWARE\\BellSoft\\Liberica", {}, "InstallationPath", vendorKey},
};

// The registry view this build does not see by default: a 32-bit launcher on a 64-bit system
// reads the 32-bit view, where a 64-bit runtime is not registered, and the reverse.
#ifdef _WIN64
const REGSAM otherView = KEY_WOW64_32KEY;
#else
const REGSAM otherView = KEY_WOW64_64KEY;
#endif

// Reads the home value of one opened subkey and merges it. A vendor's entry without a home names
// no runtime and is left out.
void mergeHome(RuntimeList& list, HKEY subkey, const RuntimeKey& key, const RuntimeVersion& version,
               REGSAM view) {
    ValueText text;
    if (!readValueText(subkey, key.homeValue, text)) return;
    const char* home = makeHomeText(text);
    if (key.source == vendorKey && home[0] == '\0') return;
    mergeRuntime(list, home, version, key.source, key.path, view != 0);
}

void scanSubkey(RuntimeList& list, HKEY parent, char* name, const RuntimeKey& key, REGSAM view) {
    trimSpaces(name);
    ValueText text;
    memcpy(text, name, strlen(name) + 1);
    RuntimeVersion version = parseVersionName(text);

    HKEY opened;
    if (RegOpenKeyExA(parent, name, 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS) return;
    RegistryKey subkey(opened);
    if (key.flavours[0] == nullptr) {
        if (key.source == javaSoftKey && wantsMicroVersion(version) &&
            readValueText(subkey, "MicroVersion", text)) {
            applyMicroVersion(version, text);
        }
        mergeHome(list, subkey, key, version, view);
        return;
    }
    // Opened below the version subkey, so that a name of any length keeps the path short.
    for (const char* flavour : key.flavours) {
        if (flavour == nullptr) break;
        HKEY flavourKey;
        if (RegOpenKeyExA(subkey, flavour, 0, KEY_QUERY_VALUE | view, &flavourKey) !=
            ERROR_SUCCESS) {
            continue;
        }
        RegistryKey owner(flavourKey);
        mergeHome(list, owner, key, version, view);
    }
}

// Adds the runtimes registered below one key, in the given registry view (0: the build's own).
void scanRuntimeKey(RuntimeList& list, const RuntimeKey& key, REGSAM view) {
    HKEY opened;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.path, 0, KEY_ENUMERATE_SUB_KEYS | view, &opened) !=
        ERROR_SUCCESS) {
        return;
    }
    RegistryKey parent(opened);
    char name[textCapacity];
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = textCapacity;
        FILETIME written;
        // Any result but success ends this key: the end of the list, or a name that was not
        // delivered (too long, or a failure), which must not be parsed.
        if (RegEnumKeyExA(parent, index, name, &nameLength, nullptr, nullptr, nullptr, &written) !=
            ERROR_SUCCESS) {
            break;
        }
        name[nameLength < textCapacity ? nameLength : textCapacity - 1] = '\0';
        scanSubkey(list, parent, name, key, view);
    }
}

template <size_t count>
void scanKeys(RuntimeList& list, const RuntimeKey (&keys)[count], REGSAM view) {
    for (const RuntimeKey& key : keys) scanRuntimeKey(list, key, view);
}

}  // namespace

void collectInstalledRuntimes(RuntimeList& list) {
    list.clear();
    scanKeys(list, javaSoftKeys, 0);
}

void collectFurtherRuntimes(RuntimeList& list) {
    list.clear();
    scanKeys(list, newerJavaSoftKeys, 0);
    scanKeys(list, vendorKeys, 0);
    scanKeys(list, javaSoftKeys, otherView);
    scanKeys(list, newerJavaSoftKeys, otherView);
    scanKeys(list, vendorKeys, otherView);
}
