// The home folders that one selection has tried, so that its last resort tries none of them
// again. The texts are not copied: each belongs to a list or buffer that outlives the selection's
// use of this record. A runtime that hangs costs the user the whole watch for each try, so a home
// named in two forms (a final backslash, forward slashes, a short name, a junction) is the same
// home: homes compare by what they are on disk where the platform can tell it.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Whether two home texts name the same folder: equal without regard to letter case and to one
// final backslash (C:\jdk and c:\JDK\ are the same home).
bool sameHome(const char* a, const char* b);

// What a folder is on disk: its volume and its index there.
struct FolderIdentity {
    uint32_t volume;
    uint32_t indexHigh;
    uint32_t indexLow;
};
// Tells a folder's identity; false where the folder cannot be opened.
typedef bool (*IdentifyFolder)(const char* path, FolderIdentity& identity);

class TriedHomes {
public:
    // Without a way to identify folders, homes compare as text alone.
    explicit TriedHomes(IdentifyFolder identify = nullptr) : identify_(identify) {}
    ~TriedHomes();
    TriedHomes(const TriedHomes&) = delete;
    TriedHomes& operator=(const TriedHomes&) = delete;

    // Notes a home that is about to be tried. When memory for the note cannot be had, the home
    // is merely forgotten: the worst that follows is a second attempt, never a missed one.
    void remember(const char* home);
    // Whether the home, in this text or another that names the same folder, was tried.
    bool contains(const char* home) const;

private:
    struct Tried {
        const char* home;
        FolderIdentity identity;
        bool identified;
    };

    bool identify(const char* home, FolderIdentity& identity) const {
        return identify_ != nullptr && identify_(home, identity);
    }

    IdentifyFolder identify_;
    Tried* tried_ = nullptr;
    size_t count_ = 0;
    size_t capacity_ = 0;
};
