// What a folder is on disk: the volume it lies on and its index there, however it is named.
#pragma once

#include "tried_homes.h"

bool identifyFolder(const char* path, FolderIdentity& identity);
