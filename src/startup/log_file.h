// The log file that the user names in QUARVEL_LAUNCHER_LOG: turned on at the entry, before anything
// else happens (a relative name is taken against the folder the launcher was started in), and
// written in whole lines. Unset or empty, nothing is created; a file that cannot be made or written
// is given up silently, and the launcher runs on as without it.
#pragma once

// Turns the log on and notes what the launcher is and where it runs.
void openLogFile();
// The command line as the launcher received it, whatever letters it holds.
void logReceivedCommandLine();
// A process start's result, with the system's own words for a failure's error number.
void logStartResult(bool started, unsigned long error, unsigned long processId);
