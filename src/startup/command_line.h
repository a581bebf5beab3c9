// Splitting of the command-line tail into the -javahome override and the application's arguments.
#pragma once

// Fills launcherState.javaHomeOverride and appArguments. Both point into text, into which at most
// one NUL is written (after the override's value).
void parseCommandLine(char* text);

// The command line without the program's own name and the blanks after it, as the platform's
// GUI entry receives it: the name ends at the first character at or below the blank that stands
// outside quotes (each quote toggles), and every such character after it is skipped.
char* commandLineTail(char* commandLine);
