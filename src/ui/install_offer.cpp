#include "install_offer.h"

#include <string.h>

#include <shellapi.h>

#include "../launch/child_process.h"
#include "../launch/command_string.h"
#include "../launch/launch_log.h"
#include "../launch/path_exists.h"
#include "../startup/launcher_state.h"
#include "../startup/log_file.h"
#include "error_message.h"

namespace {

const DWORD elevationRequired = 740;  // ERROR_ELEVATION_REQUIRED, since Vista

// An installer that needs elevation cannot be started by CreateProcessA; the shell asks the user
// for consent and starts it.
bool startSetupThroughShell() {
    CommandString file;
    file.appendText(launcherState.exeDirectory).appendText("setup.exe");
    const HINSTANCE started = ShellExecuteA(nullptr, "open", file.textOrEmpty(), nullptr,
                                            launcherState.exeDirectory, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(started) > 32;
}

}  // namespace

void startSetup() {
    const char* folder = launcherState.exeDirectory;
    // Unquoted, a folder with a blank (E:\My Disc\) would make the process start try E:\My.exe.
    const bool quoted = folder != nullptr && strchr(folder, ' ') != nullptr;
    CommandString line;
    if (quoted) line.appendChar('"');
    line.appendText(folder).appendText("setup.exe");
    if (quoted) line.appendChar('"');
    PROCESS_INFORMATION child;
    logStart(line.textOrEmpty(), folder);
    const bool started = startDetachedChild(line.textOrEmpty(), folder, child);
    const DWORD error = started ? 0 : GetLastError();
    logStartResult(started, error, child.dwProcessId);
    if (!started) {
        const bool throughShell = error == elevationRequired && startSetupThroughShell();
        if (error == elevationRequired) logShellStart(throughShell);
        if (!throughShell) showLauncherError("Error starting setup");
        return;
    }
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
}

INT_PTR CALLBACK installOfferDialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case WM_COMMAND: {
            // Judged by the control that sent it, so that keyboard and mouse end up alike.
            const HWND from = reinterpret_cast<HWND>(lParam);
            INT_PTR choice = IDCANCEL;
            if (from == GetDlgItem(dialog, IDYES)) {
                choice = IDYES;
            } else if (from == GetDlgItem(dialog, IDNO)) {
                choice = IDNO;
            }
            EndDialog(dialog, choice);
            return TRUE;
        }
        default:
            return FALSE;
    }
}

bool offerInstallation(HINSTANCE instance) {
    INT_PTR choice = IDYES;
    const bool setupFound = pathExists("setup.exe", 0);
    logInstallOffer(setupFound);
    if (setupFound) {
        flushLaunchLog();
        choice = DialogBoxParamA(instance, MAKEINTRESOURCEA(installOfferDialogId), nullptr,
                                 installOfferDialogProc, 0);
        logOfferChoice(choice);
    }
    if (choice == IDYES) return true;
    if (choice == IDNO) startSetup();
    return false;
}
