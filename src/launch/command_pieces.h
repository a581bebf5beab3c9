// The pieces that every launch command line shares: a runtime's folder, the two launcher
// properties, the class path with the main class, and the arguments passed through.
#pragma once

#include "command_string.h"

extern const char applicationClassPath[];  // relative to the child's current folder
extern const char applicationMainClass[];

// Appends the folder and, unless its own last letter is one, a backslash. An empty folder appends
// nothing at all.
void appendFolder(CommandString& line, const char* folder);

// Appends the launcher.mydocs property (when a documents folder is known) and the
// launcher.workarea property (in the units of a program unaware of DPI), each as one quoted
// argument with the runtime's option prefix.
void appendLauncherProperties(CommandString& line, const char* prefix);

// Appends "quarvel.jar;. com.quarvel.browser.Browser".
void appendClassPathAndMain(CommandString& line);

// Appends a blank and the user's arguments, unchanged, when there are any.
void appendAppArguments(CommandString& line);

// Appends one argument in double quotes so that the platform's argument splitting hands the
// runtime exactly `value`: backslashes right before the closing quote are doubled, or they would
// escape it (a documents folder at a drive root, C:\, ends in one).
void appendQuotedArgument(CommandString& line, const char* prefix, const char* name,
                          const char* value);
