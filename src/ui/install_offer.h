// The question asked when an installer lies beside the launcher: run from the disc, install, or
// cancel.
#pragma once

#include <windows.h>

const int installOfferDialogId = 1000;

// True when start-up should go on; false to end at once (declined, or the installer was started).
bool offerInstallation(HINSTANCE instance);

// Starts the setup.exe beside the launcher and leaves it alone; through the shell when it needs
// elevation. Shows "Error starting setup" when it cannot be started.
void startSetup();

INT_PTR CALLBACK installOfferDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
