// The launcher's entry: fix the surroundings, ask about installing, show the splash window, start
// the worker, then only dispatch messages until the worker (or the window's end) posts WM_QUIT.
//
// The process starts at launcherEntry rather than in the C runtime's start-up code: the launcher
// needs none of what that code sets up (argument vectors, global constructors, TLS callbacks), and
// leaving it out keeps the program small. msvcrt.dll initialises itself when it is loaded. No
// global of the launcher may therefore need a dynamic initializer: they are all constants or zero.
#include <windows.h>

#include "../launch/launch_log.h"
#include "../ui/display_dpi.h"
#include "../ui/install_offer.h"
#include "../ui/splash_window.h"
#include "ansi_path.h"
#include "command_line.h"
#include "launch_worker.h"
#include "launcher_state.h"
#include "log_file.h"
#include "surroundings.h"
#include "system_function.h"

namespace {

typedef BOOL(WINAPI* SetDefaultDllDirectoriesCall)(DWORD directories);
typedef BOOL(WINAPI* SetDllDirectoryCall)(LPCSTR folder);

// A launcher run from a writable folder (an extracted disc image) would otherwise load any DLL
// planted beside it under the name of one that it loads later by name. Systems before Windows 7
// with KB2533623 lack the first call and systems before XP SP1 the second, so both are looked up.
void restrictDllSearch() {
    const DWORD searchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    const SetDefaultDllDirectoriesCall setDefault =
        systemFunction<SetDefaultDllDirectoriesCall>(kernel32, "SetDefaultDllDirectories");
    if (setDefault != nullptr) setDefault(searchSystem32);
    const SetDllDirectoryCall setDirectory =
        systemFunction<SetDllDirectoryCall>(kernel32, "SetDllDirectoryA");
    if (setDirectory != nullptr) setDirectory("");  // drops the current folder from the search
}

int launcherMain(HINSTANCE instance, char* commandLine, int showCommand) {
    logReceivedCommandLine();
    parseCommandLine(commandLine);
    logParsedCommandLine(launcherState.javaHomeOverride, launcherState.appArguments);
    fixExeDirectory();
    findDocumentsFolder();
    if (!offerInstallation(instance)) return 0;

    registerSplashClass(instance);
    RECT workArea = {0, 0, 0, 0};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    launcherState.workArea = {workArea.left, workArea.top, workArea.right, workArea.bottom};
    launcherState.systemDpi = systemDpi();
    HWND splash = createSplashWindow(instance);
    if (splash == nullptr) return 0;
    launcherState.splashWindow = splash;
    ShowWindow(splash, showCommand);
    UpdateWindow(splash);

    // Without a worker the splash window simply stays until it is closed. The systems of the 9x
    // line refuse a thread without a place for its identifier.
    DWORD workerId = 0;
    HANDLE worker = CreateThread(nullptr, 0, launchWorker, nullptr, 0, &workerId);
    if (worker != nullptr) CloseHandle(worker);

    MSG message;
    message.wParam = 0;
    // GetMessageA answers -1 on failure; only 0 means WM_QUIT, but looping on -1 would spin.
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

// The kernel enters here with only 4-byte stack alignment on x86.
extern "C" __attribute__((force_align_arg_pointer)) void launcherEntry() {
    restrictDllSearch();
    readCodePages();
    openLogFile();
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    const int showCommand =
        (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
    const int exitCode =
        launcherMain(GetModuleHandleA(nullptr), commandLineTail(GetCommandLineA()), showCommand);
    logExit(exitCode);
    closeLaunchLog();
    ExitProcess(static_cast<UINT>(exitCode));
}
