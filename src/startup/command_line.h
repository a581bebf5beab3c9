// Splitting of the command-line tail into the -javahome override and the application's arguments.
#pragma once

// Fills launcherState.javaHomeOverride and appArguments. Both point into text, into which at most
// one NUL is written (after the override's value).
void parseCommandLine(char* text);
