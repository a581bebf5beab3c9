// The one way the launcher tells the user about a failure: a message box without owner window.
#pragma once

extern const char launcherCaption[];

void showLauncherError(const char* text);
