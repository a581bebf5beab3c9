// The private message that carries a status text to the splash window. lParam is a heap copy made
// by postStatus (or null, to clear the line); the window frees it once it has drawn it.
#pragma once

const unsigned WM_LAUNCHER_STATUS = 0x0400 + 1;  // WM_USER + 1
