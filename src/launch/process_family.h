// The processes that belong to a watched child: the child and every process it started, directly
// or further down. A package manager's shim (a small java.exe that starts the real runtime and
// waits for it) opens the application's window in a grandchild, not in the child.
//
// Each member is held open, so its identifier cannot pass to another process while it is a
// member. A process counts as started by a member only when the snapshot names that member as
// its parent and it was created no earlier than the member: a process that names an identifier
// whose earlier owner started it predates the member that has the identifier now.
#pragma once

#include <stddef.h>
#include <stdint.h>

// One row of a snapshot of the system's processes.
struct ProcessEntry {
    uint32_t id;
    uint32_t parentId;
};

struct FamilyMember {
    uint32_t id;
    uint64_t created;  // creation time, in the platform's units
    void* handle;      // held open while it is a member
};

// How members are opened and closed: the platform's calls, or a test's model of them.
struct ProcessAccess {
    // Opens the process and reads its creation time; null when it cannot (it has ended, say).
    void* (*open)(uint32_t id, uint64_t* created);
    void (*close)(void* handle);
};

class ProcessFamily {
public:
    explicit ProcessFamily(const ProcessAccess& access) : access_(access) {}
    ~ProcessFamily();  // closes every member's handle
    ProcessFamily(const ProcessFamily&) = delete;
    ProcessFamily& operator=(const ProcessFamily&) = delete;

    // Makes an already opened process a member (the child itself). False, and the handle is
    // closed, when memory for it cannot be had.
    bool add(uint32_t id, uint64_t created, void* handle);

    // Adds every process of the snapshot that a member started, and what those started in turn,
    // whatever the order of the rows. Returns how many were added.
    size_t adopt(const ProcessEntry* entries, size_t count);

    bool contains(uint32_t id) const;
    size_t size() const { return count_; }
    const FamilyMember& operator[](size_t index) const { return members_[index]; }

private:
    const FamilyMember* find(uint32_t id) const;

    ProcessAccess access_;
    FamilyMember* members_ = nullptr;
    size_t count_ = 0;
    size_t capacity_ = 0;
};
