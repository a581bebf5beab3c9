// What the launch logic needs from the platform, as a table of plain functions: the Win32 shell
// fills it with the real calls, the native tests with recorders. Keeping the logic behind this
// table is what lets the selection order and the launch variants be tested without Windows.
#pragma once

#include "tried_homes.h"

struct RuntimeList;

struct LauncherPlatform {
    // Queues a status text for the splash window; the text need only live until the call returns.
    bool (*postStatus)(const char* text);
    // Starts one command line and reports whether the application started in it.
    bool (*runAndWatch)(char* commandLine);
    // Whether path names an existing folder (expectFolder 1) or file (any other value).
    bool (*pathExists)(const char* path, int expectFolder);
    // Fills an empty list with the registered runtimes, highest version first.
    void (*collectInstalledRuntimes)(RuntimeList& list);
    // Shows an error message to the user and returns once it is dismissed.
    void (*showError)(const char* text);
    // Reads the JAVA_HOME environment variable into buffer; false when it is unset or too long.
    bool (*readJavaHome)(char* buffer, unsigned capacity);
    // Fills an empty list with the runtimes registered where collectInstalledRuntimes does not
    // look (the newer JRE and JDK keys, the vendors' own keys, the other registry view and the
    // current user's hive), highest version first.
    void (*collectFurtherRuntimes)(RuntimeList& list);
    // Fills an empty list with the runtimes in the folders where runtimes are put that nothing
    // registers, highest version first.
    void (*collectUnregisteredRuntimes)(RuntimeList& list);
    // A home folder as a runtime is handed it: `home` itself, or the form written into `buffer`
    // (`capacity` bytes) that the runtime can read in the system's code page.
    const char* (*runtimeForm)(const char* home, char* buffer, unsigned capacity);
    // What a folder is on disk, so that a home named in two forms is tried once.
    IdentifyFolder identifyFolder;
};
