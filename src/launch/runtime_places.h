// Where runtimes lie that nothing registers, and which of them are there: a Java home is a folder
// holding bin\java.exe, and its version is the one its release file states. The places, in the
// order they are searched: the vendors' folders in each Program Files folder and in the user's own
// programs, the IDE's downloads, Gradle's toolchains, Scoop's apps and the Minecraft launcher's
// runtimes. Every name read is untrusted, and the bounds hold whatever a place holds.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "runtime_list.h"

const uint32_t entryIsFolder = 0x10;  // FILE_ATTRIBUTE_DIRECTORY
const uint32_t entryIsLink = 0x400;   // FILE_ATTRIBUTE_REPARSE_POINT: a junction or a link

// Called for each entry of a folder as the platform lists it: its name exactly in the ANSI code
// page, or the empty text where the code page cannot spell it; its short 8.3 name, or the empty
// text; and its attributes. Returns false to end the listing.
typedef bool (*FolderVisit)(void* context, const char* name, const char* shortName,
                            uint32_t attributes);

// What the search needs from the platform. Paths are ANSI texts of at most 260 characters, which
// may take up to pathBytes bytes.
struct FolderAccess {
    // An environment variable's value as a path the ANSI calls can open (through its short form
    // where the code page cannot spell it); false when it is unset or has no such form.
    bool (*variable)(const char* name, char* buffer, unsigned capacity);
    // Visits the folder's entries, "." and ".." among them, until the visit returns false.
    void (*listFolder)(const char* folder, FolderVisit visit, void* context);
    bool (*isFile)(const char* path);
    // Reads at most `capacity` bytes from the start of a file; how many it read (0 for none).
    size_t (*readStart)(const char* path, char* buffer, size_t capacity);
    // The SID of a folder's owner, in `sid` (sidBytesLimit bytes); its length, or 0 when the
    // owner cannot be told.
    size_t (*owner)(const char* path, uint8_t* sid);
    // The SID of the user running the launcher; its length, or 0.
    size_t (*user)(uint8_t* sid);
};

// At most this many entries are read in any one folder, and this many new homes taken from any
// one place, so that many runtimes in one place cannot hide those of another.
const size_t entriesPerFolder = 256;
const size_t homesPerPlace = 32;

// Fills an empty list with the homes found, newest first; equal versions in the order of the
// places, then of their folders' names; a home without a release file's version last. Each home
// ends with a backslash and is listed once, with the source folderSearch and its place's index.
// Nothing is followed out of a place but Scoop's "current", a junction to the version in use. In
// a place outside the user's profile and the Program Files folders, where other users may make
// folders, a home is taken only when the owners of its folder and of its bin\java.exe are trusted
// (trusted_owners.h); the log names one passed over.
void collectFolderRuntimes(const FolderAccess& access, RuntimeList& list);

// What the log calls a place, by the index a node carries: "Scoop's apps", say.
const char* placeName(uint8_t place);
