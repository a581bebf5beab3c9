#include "windows_platform.h"

#include "../startup/ansi_path.h"
#include "../ui/error_message.h"
#include "child_watch.h"
#include "folder_identity.h"
#include "java_home_variable.h"
#include "path_exists.h"
#include "post_status.h"
#include "registry_scan.h"
#include "unregistered_runtimes.h"

const LauncherPlatform windowsPlatform = {postStatus,
                                          runAndWatch,
                                          pathExists,
                                          collectInstalledRuntimes,
                                          showLauncherError,
                                          readJavaHomeVariable,
                                          collectFurtherRuntimes,
                                          collectUnregisteredRuntimes,
                                          runtimePath,
                                          identifyFolder};
