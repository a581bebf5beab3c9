// The home folders that one selection has tried, so that its last resort tries none of them
// again. The texts are not copied: each belongs to a list or buffer that outlives the selection's
// use of this record.
#pragma once

#include <stddef.h>

// Whether two home texts name the same folder: equal without regard to letter case and to one
// final backslash (C:\jdk and c:\JDK\ are the same home).
bool sameHome(const char* a, const char* b);

class TriedHomes {
public:
    TriedHomes() = default;
    ~TriedHomes();
    TriedHomes(const TriedHomes&) = delete;
    TriedHomes& operator=(const TriedHomes&) = delete;

    // Notes a home that is about to be tried. When memory for the note cannot be had, the home
    // is merely forgotten: the worst that follows is a second attempt, never a missed one.
    void remember(const char* home);
    bool contains(const char* home) const;

private:
    const char** homes_ = nullptr;
    size_t count_ = 0;
    size_t capacity_ = 0;
};
