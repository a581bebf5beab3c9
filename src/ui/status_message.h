// The private message that carries a status text to the splash window. lParam is a heap copy made
// by postStatus, in UTF-16 (or null, to clear the line); the window frees it once it has drawn it.
// In UTF-16, because GDI draws an ANSI text in the code page of the font's character set, not in
// the launcher's UTF-8.
#pragma once

const unsigned WM_LAUNCHER_STATUS = 0x0400 + 1;  // WM_USER + 1
