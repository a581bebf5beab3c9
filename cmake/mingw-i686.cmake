# The shipped 32-bit launcher.exe, with the Windows-side tests that run it under Wine's WoW64.
# GoogleTest needs the posix thread model; the launcher itself uses none of it, and the artifact
# check holds it to its imports and size whichever model builds it.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLE i686-w64-mingw32)
set(MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run wine)
