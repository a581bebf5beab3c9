// The log file's name as the user typed it into QUARVEL_LAUNCHER_LOG.
#pragma once

// cmd keeps the double quotes of  set QUARVEL_LAUNCHER_LOG="C:\My Logs\q.log"  in the value, and
// no file name can hold one: every double quote is dropped, in place. Narrow or wide.
template <typename Char>
void dropQuotes(Char* name) {
    Char* to = name;
    for (const Char* from = name; *from != 0; ++from) {
        if (*from != '"') *to++ = *from;
    }
    *to = 0;
}
