// The exact command lines of the three ways to start a runtime. A program path or class path that
// holds a blank or a tab is quoted: unquoted, the process start would try C:\Program.exe first and
// the runtime would split its arguments at the blank. Lines without blanks are left as they are.
#pragma once

#include "command_string.h"

void buildJavaLine(CommandString& line, const char* home);
void buildJreLine(CommandString& line, const char* home);
void buildJreFallbackLine(CommandString& line, const char* home);  // bin\java with classes.zip
void buildJviewLine(CommandString& line);
// The java line with the program "java" alone, for the platform's program search to find.
void buildSearchedJavaLine(CommandString& line);
