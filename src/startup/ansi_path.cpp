#include "ansi_path.h"

#include <string.h>

#include "../launch/launch_log.h"
#include "../launch/runtime_version.h"
#include "letters.h"

namespace {

UINT launcherPage;  // GetACP(): UTF-8 where the manifest took effect
UINT systemPage;

int narrowName(uint32_t codePage, uint32_t flags, const char16_t* wide, char* narrow, int capacity,
               int* lost) {
    BOOL usedDefault = FALSE;
    const int written =
        WideCharToMultiByte(codePage, flags, reinterpret_cast<const wchar_t*>(wide), -1, narrow,
                            capacity, nullptr, lost != nullptr ? &usedDefault : nullptr);
    if (lost != nullptr) *lost = usedDefault;
    return written;
}

uint32_t shortName(const char16_t* path, char16_t* shortPath, uint32_t capacity) {
    return GetShortPathNameW(reinterpret_cast<const wchar_t*>(path),
                             reinterpret_cast<wchar_t*>(shortPath), capacity);
}

const NameConversion windowsNames = {narrowName, shortName};

// The system's ANSI code page as Windows records it, which every program that declares none of
// its own reads text in; 0 when it cannot be read.
UINT recordedCodePage() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return 0;
    }
    char value[16] = "";
    DWORD size = sizeof value - 1;
    const LONG read =
        RegQueryValueExA(key, "ACP", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS ? static_cast<UINT>(decimalValue(value)) : 0;
}

}  // namespace

void readCodePages() {
    launcherPage = GetACP();
    CPINFO info;
    if (GetCPInfo(CP_ACP, &info)) {
        memcpy(textCodePage.leadBytes, info.LeadByte, sizeof textCodePage.leadBytes);
    }
    textCodePage.utf8 = launcherPage == CP_UTF8;
    // Without the manifest's UTF-8 (Windows before 10 1903) the launcher reads as the system does.
    const UINT recorded = launcherPage == CP_UTF8 ? recordedCodePage() : 0;
    systemPage = recorded != 0 ? recorded : launcherPage;
}

UINT systemCodePage() {
    return systemPage;
}

bool exactAnsi(const wchar_t* wide, char* narrow, unsigned capacity) {
    return exactName(windowsNames, launcherPage, reinterpret_cast<const char16_t*>(wide), narrow,
                     capacity);
}

bool ansiPath(const wchar_t* wide, char* narrow, unsigned capacity) {
    return exactOrShortName(windowsNames, launcherPage, reinterpret_cast<const char16_t*>(wide),
                            narrow, capacity);
}

const char* runtimePath(const char* path, char* buffer, unsigned capacity) {
    // Where both code pages are one, the launcher's texts are already what the runtime reads.
    wchar_t wide[MAX_PATH];
    if (systemPage == launcherPage ||
        MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH) == 0) {
        return path;
    }
    const RuntimeForm form = runtimeName(windowsNames, launcherPage, systemPage,
                                         reinterpret_cast<const char16_t*>(wide), buffer, capacity);
    if (form == noReadableForm) logNoRuntimeForm(path, systemPage);
    return form == shortForm ? buffer : path;
}

void widenAscii(const char* name, wchar_t* wide, unsigned capacity) {
    unsigned i = 0;
    for (; name[i] != '\0' && i + 1 < capacity; ++i) wide[i] = static_cast<unsigned char>(name[i]);
    wide[i] = 0;
}

bool readAnsiVariable(const char* name, char* buffer, unsigned capacity) {
    wchar_t wideName[32], value[MAX_PATH + 1];
    widenAscii(name, wideName, 32);
    const DWORD length = GetEnvironmentVariableW(wideName, value, MAX_PATH + 1);
    if (length == 0) return false;
    if (length <= MAX_PATH && ansiPath(value, buffer, capacity)) return true;
    logNameRefused("the variable ", name, length <= MAX_PATH ? noAnsiForm : tooLong);
    return false;
}
