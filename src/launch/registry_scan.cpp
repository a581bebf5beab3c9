// Whatever cannot be read only shortens the list: nothing is reported and nothing is logged.
// Registry data is untrusted: any value may have another type, lack its NUL, or be longer than
// the buffers, and every reading stays inside them.
#include "registry_scan.h"

#include <windows.h>
#include <string.h>

#include "../startup/ansi_path.h"
#include "packed_texts.h"

namespace {

const DWORD textCapacity = 261;  // 260 characters and a NUL

// Value data need not end in a NUL; this buffer keeps room beyond what the registry may fill, so
// that such data can be terminated without reading or writing outside it. A home value is read in
// UTF-16 and made an ANSI path, which in UTF-8 takes up to three bytes a character.
typedef char ValueText[pathBytes + 1];

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

// A home value. Text of at most 260 characters is read whole in UTF-16 and made an ANSI path:
// exactly, or through its short form where the code page cannot spell it; false when neither
// exists. Data of another type are read as text, as the ANSI call reads them: at most 261 bytes.
bool readHomeValue(HKEY key, const char* name, ValueText& text) {
    wchar_t wideName[20], wide[textCapacity + 1];
    widenAscii(name, wideName, 20);
    DWORD type = REG_NONE, size = textCapacity * sizeof *wide;
    if (RegQueryValueExW(key, wideName, nullptr, &type, reinterpret_cast<BYTE*>(wide), &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        wide[size / sizeof *wide] = 0;
        return ansiPath(wide, text, sizeof text - 1);
    }
    if (size > textCapacity) return false;
    memcpy(text, wide, size);
    text[size] = '\0';
    return true;
}

// The keys under which runtimes are registered, below a hive's SOFTWARE, one after the other: the
// classic JavaSoft keys first, then where Java 9 and later register themselves, then where today's
// distributions do, leaving the JavaSoft keys alone. Below each key there is one subkey per version
// (or per name, such as zulu-17), and the home folder in a value of that subkey, or of each
// flavour subkey below it in turn. A packed text: no table of addresses for the loader to fix.
const char runtimeKeys[] =
    "JavaSoft\\Java Runtime Environment\0JavaSoft\\Java Plug-in\0"
    "JavaSoft\\Java Development Kit\0JavaSoft\\JRE\0JavaSoft\\JDK\0"
    "Eclipse Adoptium\\JDK\0Eclipse Adoptium\\JRE\0"
    "AdoptOpenJDK\\JDK\0AdoptOpenJDK\\JRE\0Eclipse Foundation\\JDK\0"
    "Microsoft\\JDK\0Semeru\\JDK\0Semeru\\JRE\0"
    "Azul Systems\\Zulu\0BellSoft\\Liberica\0SapMachine\\JDK\0"
    "SapMachine\\JRE\0IBM\\Java2 Runtime Environment\0"
    "IBM\\Java Runtime Environment\0IBM\\Java Development Kit\0";
const int classicKeys = 3;   // read by the tiers
const int javaSoftKeys = 5;  // which also carry MicroVersion; the rest are the vendors'
const int allKeys = 20;

// What each key holds: its home value, and the flavour subkeys that hold it.
enum KeyLayout : uint8_t { javaHome = 0, path = 1, installationPath = 2, hotspot = 4, openj9 = 8 };
const uint8_t hotspotPath = path | hotspot, openj9Path = path | openj9,
              eitherPath = path | hotspot | openj9;
const uint8_t keyLayouts[allKeys] = {
    javaHome,         javaHome,         javaHome,   javaHome,   javaHome,   // JavaSoft
    hotspotPath,      hotspotPath,      eitherPath, eitherPath,             // Temurin, Adopt
    hotspotPath,      hotspotPath,      openj9Path, openj9Path,             // Eclipse, MS, Semeru
    installationPath, installationPath,                                     // Zulu, Liberica
    javaHome,         javaHome,         javaHome,   javaHome,   javaHome};  // SapMachine, IBM
const char homeValues[] = "JavaHome\0Path\0InstallationPath";
const char flavours[] = "hotspot\\MSI\0openj9\\MSI";  // in the order of their bits

// Where keys are read: the machine's hive in one of its views, or the user's, whose SOFTWARE
// both views share. The other view of the machine's hive is the one this build does not see by
// default: a 32-bit launcher on a 64-bit system reads the 32-bit view, where a 64-bit runtime is
// not registered, and the reverse.
struct Hive {
    HKEY root;
    REGSAM view;  // 0: the build's own
    RegistryHive place;
};
const Hive ownView = {HKEY_LOCAL_MACHINE, 0, ownRegistryView};
#ifdef _WIN64
const Hive otherView = {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, otherRegistryView};
#else
const Hive otherView = {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, otherRegistryView};
#endif
const Hive userHive = {HKEY_CURRENT_USER, 0, currentUserHive};

// One key as the scan reads it.
struct RuntimeKey {
    const char* path;  // in the hive
    uint8_t layout;
    RuntimeSource source;
    const Hive& hive;
};

// Reads the home value of one opened subkey and merges it. A vendor's entry without a home names
// no runtime and is left out.
void mergeHome(RuntimeList& list, HKEY subkey, const RuntimeKey& key,
               const RuntimeVersion& version) {
    ValueText text;
    if (!readHomeValue(subkey, packedText(homeValues, key.layout & 3), text)) return;
    const char* home = makeHomeText(text);
    if (key.source == vendorKey && home[0] == '\0') return;
    mergeRuntime(list, home, version, key.source, key.path, key.hive.place);
}

void scanSubkey(RuntimeList& list, HKEY parent, char* name, const RuntimeKey& key) {
    trimSpaces(name);
    ValueText text;
    memcpy(text, name, strlen(name) + 1);
    RuntimeVersion version = parseVersionName(text);

    const REGSAM view = key.hive.view;
    HKEY opened;
    if (RegOpenKeyExA(parent, name, 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS) return;
    RegistryKey subkey(opened);
    if ((key.layout & (hotspot | openj9)) == 0) {
        if (key.source == javaSoftKey && wantsMicroVersion(version) &&
            readValueText(subkey, "MicroVersion", text)) {
            applyMicroVersion(version, text);
        }
        mergeHome(list, subkey, key, version);
        return;
    }
    // Opened below the version subkey, so that a name of any length keeps the path short.
    for (int i = 0; i < 2; ++i) {
        HKEY flavourKey;
        if ((key.layout & (hotspot << i)) == 0 ||
            RegOpenKeyExA(subkey, packedText(flavours, i), 0, KEY_QUERY_VALUE | view,
                          &flavourKey) != ERROR_SUCCESS) {
            continue;
        }
        RegistryKey owner(flavourKey);
        mergeHome(list, owner, key, version);
    }
}

// Adds the runtimes registered below the keys from `first` up to `end` (by their places in
// runtimeKeys), in one hive.
void scanKeys(RuntimeList& list, int first, int end, const Hive& hive) {
    HKEY opened;
    if (RegOpenKeyExA(hive.root, "SOFTWARE", 0, KEY_ENUMERATE_SUB_KEYS | hive.view, &opened) !=
        ERROR_SUCCESS) {
        return;
    }
    const RegistryKey software(opened);
    const char* path = runtimeKeys;
    for (int index = 0; index < end; ++index, path = nextText(path)) {
        if (index < first || RegOpenKeyExA(software, path, 0, KEY_ENUMERATE_SUB_KEYS | hive.view,
                                           &opened) != ERROR_SUCCESS) {
            continue;
        }
        RegistryKey parent(opened);
        const RuntimeKey key = {path, keyLayouts[index],
                                index < javaSoftKeys ? javaSoftKey : vendorKey, hive};
        char name[textCapacity];
        for (DWORD at = 0;; ++at) {
            DWORD nameLength = textCapacity;
            FILETIME written;
            // A name too long for the buffer (no version's, but anyone may write one into the
            // user's hive) is passed over alone; any other failure ends this key, the end of the
            // list among them. A name that was not delivered is never parsed.
            const LONG result =
                RegEnumKeyExA(parent, at, name, &nameLength, nullptr, nullptr, nullptr, &written);
            if (result == ERROR_MORE_DATA) continue;
            if (result != ERROR_SUCCESS) break;
            name[nameLength < textCapacity ? nameLength : textCapacity - 1] = '\0';
            scanSubkey(list, parent, name, key);
        }
    }
}

}  // namespace

void collectInstalledRuntimes(RuntimeList& list) {
    list.clear();
    scanKeys(list, 0, classicKeys, ownView);
}

void collectFurtherRuntimes(RuntimeList& list) {
    list.clear();
    scanKeys(list, classicKeys, allKeys, ownView);
    scanKeys(list, 0, allKeys, otherView);
    scanKeys(list, 0, allKeys, userHive);
}
