// The JAVA_HOME environment variable, where a runtime installed today is often named.
#pragma once

// Copies its value into buffer; false when it is unset or its value does not fit.
bool readJavaHomeVariable(char* buffer, unsigned capacity);
