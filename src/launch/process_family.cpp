#include "process_family.h"

#include <stdlib.h>

ProcessFamily::~ProcessFamily() {
    for (size_t i = 0; i < count_; ++i) access_.close(members_[i].handle);
    free(members_);
}

bool ProcessFamily::add(uint32_t id, uint64_t created, void* handle) {
    if (count_ == capacity_) {
        const size_t grown = capacity_ == 0 ? 4 : capacity_ * 2;
        void* larger = realloc(members_, grown * sizeof *members_);
        if (larger == nullptr) {
            access_.close(handle);
            return false;
        }
        members_ = static_cast<FamilyMember*>(larger);
        capacity_ = grown;
    }
    members_[count_++] = {id, created, handle};
    return true;
}

const FamilyMember* ProcessFamily::find(uint32_t id) const {
    for (size_t i = 0; i < count_; ++i) {
        if (members_[i].id == id) return &members_[i];
    }
    return nullptr;
}

bool ProcessFamily::contains(uint32_t id) const {
    return find(id) != nullptr;
}

size_t ProcessFamily::adopt(const ProcessEntry* entries, size_t count) {
    size_t added = 0;
    // A grandchild may stand before its parent in the snapshot: go over it until nothing is new.
    for (bool grew = true; grew;) {
        grew = false;
        for (size_t i = 0; i < count; ++i) {
            const ProcessEntry& entry = entries[i];
            if (contains(entry.id)) continue;
            const FamilyMember* parent = find(entry.parentId);
            if (parent == nullptr) continue;
            const uint64_t parentCreated = parent->created;
            uint64_t created = 0;
            void* handle = access_.open(entry.id, &created);
            if (handle == nullptr) continue;
            // Created before the member that now has its parent's identifier: it was started by
            // an earlier owner of that identifier.
            if (created < parentCreated) {
                access_.close(handle);
                continue;
            }
            if (add(entry.id, created, handle)) {
                ++added;
                grew = true;
            }
        }
    }
    return added;
}
