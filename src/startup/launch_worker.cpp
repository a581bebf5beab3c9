// The worker never touches a window: it posts status texts and, one second after it is done,
// WM_QUIT to the splash window.
#include "launch_worker.h"

#include "../launch/command_string.h"
#include "../launch/launch_log.h"
#include "../launch/path_exists.h"
#include "../launch/post_status.h"
#include "../launch/selection_order.h"
#include "../launch/windows_platform.h"
#include "../ui/error_message.h"
#include "launcher_state.h"

namespace {

const char fallbackPage[] = "start\\launcher.html";

void reportMissingArchive() {
    CommandString message;
    message.appendText(launcherState.exeDirectory).appendText("quarvel.jar");
    message.appendText(" does not exist.");
    logArchiveMissing(message.textOrEmpty());
    showLauncherError(message.textOrEmpty());
}

void openFallbackPage() {
    logNothingStarted(fallbackPage);
    postStatus(fallbackPage);
    const HINSTANCE opened =
        ShellExecuteA(nullptr, "open", fallbackPage, nullptr, launcherState.exeDirectory, SW_HIDE);
    const INT_PTR result = reinterpret_cast<INT_PTR>(opened);
    logPageOpened(result > 32, result);
    if (result > 32) return;
    CommandString message;
    message.appendText("File open error\n").appendText(launcherState.exeDirectory);
    message.appendText(fallbackPage).appendText("\nPlease try to open this file manually.");
    showLauncherError(message.textOrEmpty());
}

}  // namespace

DWORD WINAPI launchWorker(void*) {
    if (!pathExists("quarvel.jar", 0)) {
        reportMissingArchive();
    } else if (!chooseAndLaunch(windowsPlatform)) {
        openFallbackPage();
    }
    Sleep(1000);
    PostMessageA(launcherState.splashWindow, WM_QUIT, 0, 0);
    return 0;
}
