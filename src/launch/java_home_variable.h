// The JAVA_HOME environment variable, where a runtime installed today is often named.
#pragma once

// Copies its value into buffer, through the folder's short form where the ANSI code page cannot
// spell it; false when it is unset, does not fit or has no ANSI form.
bool readJavaHomeVariable(char* buffer, unsigned capacity);
