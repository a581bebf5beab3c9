// The launcher's surroundings, read once at start-up: its own folder and the documents folder.
#pragma once

// Fills exeDirectory and makes it the current directory; leaves both alone when the module path
// cannot be had whole.
void fixExeDirectory();

// Fills documentsDirectory from the shell; it stays unset when the shell gives no path.
void findDocumentsFolder();
