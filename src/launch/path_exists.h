// Whether a path names an existing folder (expectFolder 1) or file (any other value).
#pragma once

bool pathExists(const char* path, int expectFolder);
