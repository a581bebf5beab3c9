// The family of a watched child over scripted process snapshots: who counts as started by it, and
// that every process it opens is closed again; and which window events of it make the watch look.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "launch/process_family.h"
#include "launch/window_events.h"

namespace {

// The scripted system: processes that can be opened, with their creation times; and the handles
// handed out and closed.
struct System {
    static std::map<uint32_t, uint64_t> alive;
    static int opened;
    static int closed;
    static void* open(uint32_t id, uint64_t* created) {
        const auto found = alive.find(id);
        if (found == alive.end()) return nullptr;
        *created = found->second;
        ++opened;
        return reinterpret_cast<void*>(static_cast<uintptr_t>(id) + 1);
    }
    static void close(void* handle) {
        if (handle != nullptr) ++closed;
    }
};
std::map<uint32_t, uint64_t> System::alive;
int System::opened;
int System::closed;
const ProcessAccess access = {System::open, System::close};

std::vector<uint32_t> members(const ProcessFamily& family) {
    std::vector<uint32_t> ids;
    for (size_t i = 0; i < family.size(); ++i) ids.push_back(family[i].id);
    return ids;
}

TEST(ProcessFamily, AdoptsWhatTheChildStartedAndNothingElse) {
    // The child is process 10, created at time 100.
    const struct {
        const char* name;
        std::map<uint32_t, uint64_t> alive;
        std::vector<ProcessEntry> snapshot;
        std::vector<uint32_t> family;
    } cases[] = {
        {"a shim's runtime, and what that started",
         {{11, 110}, {12, 120}},
         {{11, 10}, {12, 11}},
         {10, 11, 12}},
        {"a grandchild listed before its parent",
         {{11, 110}, {12, 120}},
         {{12, 11}, {11, 10}},
         {10, 11, 12}},
        {"an unrelated process, and one that names an unrelated parent",
         {{30, 130}, {31, 131}},
         {{30, 4}, {31, 30}},
         {10}},
        {"started by an earlier owner of the child's identifier",
         {{20, 90}, {21, 95}},
         {{20, 10}, {21, 20}},
         {10}},
        {"created within the same tick as the child", {{11, 100}}, {{11, 10}}, {10, 11}},
        {"ended before it could be opened", {}, {{11, 10}}, {10}},
        {"the child itself in the snapshot", {{10, 100}}, {{10, 4}}, {10}},
    };
    for (const auto& c : cases) {
        System::alive = c.alive;
        System::opened = System::closed = 0;
        {
            ProcessFamily family(access);
            ASSERT_TRUE(family.add(10, 100, nullptr));
            family.adopt(c.snapshot.data(), c.snapshot.size());
            std::vector<uint32_t> expected = c.family;
            std::vector<uint32_t> found = members(family);
            std::sort(expected.begin(), expected.end());
            std::sort(found.begin(), found.end());
            EXPECT_EQ(found, expected) << c.name;
            for (uint32_t id : c.family) EXPECT_TRUE(family.contains(id)) << c.name;
            EXPECT_FALSE(family.contains(4)) << c.name;
        }
        EXPECT_EQ(System::closed, System::opened) << c.name << ": every handle is closed";
    }
}

TEST(ProcessFamily, LaterSnapshotsAddOnlyWhatIsNew) {
    System::alive = {{11, 110}, {12, 120}, {13, 130}};
    System::opened = System::closed = 0;
    {
        ProcessFamily family(access);
        family.add(10, 100, nullptr);
        const std::vector<ProcessEntry> first = {{11, 10}};
        EXPECT_EQ(family.adopt(first.data(), first.size()), 1u);
        EXPECT_EQ(family.adopt(first.data(), first.size()), 0u) << "nothing new";
        // The shim (11) has ended by now; what it started still counts, as its identifier is held.
        const std::vector<ProcessEntry> second = {{12, 11}, {13, 12}};
        EXPECT_EQ(family.adopt(second.data(), second.size()), 2u);
        EXPECT_EQ(members(family), (std::vector<uint32_t>{10, 11, 12, 13}));
        EXPECT_NE(family[3].handle, nullptr);
        EXPECT_EQ(family[3].created, 130u);
    }
    EXPECT_EQ(System::opened, 3);
    EXPECT_EQ(System::closed, 3);
}

TEST(ProcessFamily, ManyDescendantsInADeepChain) {
    System::alive.clear();
    std::vector<ProcessEntry> snapshot;
    // A chain of 200, listed deepest first, which takes the most passes.
    for (uint32_t id = 210; id > 10; --id) {
        System::alive[id] = id;
        snapshot.push_back({id, id - 1});
    }
    ProcessFamily family(access);
    family.add(10, 10, nullptr);
    EXPECT_EQ(family.adopt(snapshot.data(), snapshot.size()), 200u);
    EXPECT_TRUE(family.contains(210));
}

}  // namespace

namespace {

// Which window events make the watch look at once, and from when: a window's own creation,
// showing or naming, in a process of the child's family, once the first cycle's look is over.
TEST(WindowEvents, AFamilyWindowAppearingOrNamedAndNotBeforeTheFirstLook) {
    const struct {
        uint32_t event;
        int32_t object, child;
        bool ofFamily, counts;
    } cases[] = {
        {objectCreated, 0, 0, true, true},   {objectShown, 0, 0, true, true},
        {objectNamed, 0, 0, true, true},     {0x8001, 0, 0, true, false},  // destroyed
        {0x8003, 0, 0, true, false},                                       // hidden
        {0x800B, 0, 0, true, false},                                       // moved
        {objectNamed, -4, 0, true, false},    // its client area, not the window
        {objectCreated, 0, 3, true, false},   // a part of it
        {objectCreated, 0, 0, false, false},  // another process's
    };
    for (const auto& c : cases) {
        EXPECT_EQ(windowEventCounts(c.event, c.object, c.child, c.ofFamily), c.counts)
            << std::hex << c.event << " " << c.object << " " << c.child << " " << c.ofFamily;
    }
    EXPECT_FALSE(eventMayLook(0));
    EXPECT_TRUE(eventMayLook(1));
    EXPECT_TRUE(eventMayLook(watchCycles - 1));
}

}  // namespace
