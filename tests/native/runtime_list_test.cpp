#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../common/runtime_rows.h"

namespace {

TEST(RuntimeList, WorkedExampleMergesRowByRow) {
    RuntimeList list;
    const struct {
        const char* home;
        RuntimeVersion version;
        std::vector<std::string> after;
    } steps[] = {
        {"C:\\JRE\\1.3.1\\", {1, 3, 1, 0}, {"1.3.1.0 C:\\JRE\\1.3.1\\"}},
        {"C:\\Java\\jre142\\",
         {1, 4, 2, 0},
         {"1.4.2.0 C:\\Java\\jre142\\", "1.3.1.0 C:\\JRE\\1.3.1\\"}},
        {"C:\\Java\\jre142\\",
         {1, 4, 2, 3},
         {"1.4.2.3 C:\\Java\\jre142\\", "1.3.1.0 C:\\JRE\\1.3.1\\"}},
        {"c:\\java\\JRE142\\",
         {1, 4, 2, 3},
         {"1.4.2.3 C:\\Java\\jre142\\", "1.3.1.0 C:\\JRE\\1.3.1\\"}},
        {"C:\\SDK\\jdk142\\",
         {1, 4, 2, 0},
         {"1.4.2.3 C:\\Java\\jre142\\", "1.4.2.0 C:\\SDK\\jdk142\\", "1.3.1.0 C:\\JRE\\1.3.1\\"}},
    };
    for (const auto& step : steps) {
        ASSERT_TRUE(mergeRuntime(list, step.home, step.version));
        EXPECT_EQ(runtimeRows(list), step.after) << step.home;
    }
}

TEST(RuntimeList, EqualVersionsKeepTheOrderFoundAndAnOlderDuplicateIsDropped) {
    RuntimeList list;
    mergeRuntime(list, "B\\", {1, 4, 0, 0});
    mergeRuntime(list, "A\\", {1, 4, 0, 0});
    mergeRuntime(list, "C\\", {1, 5, 0, 0});
    mergeRuntime(list, "a\\", {1, 3, 0, 0});  // older copy of A: dropped
    mergeRuntime(list, "", {0, 0, 0, 0});
    mergeRuntime(list, "b\\", {1, 6, 0, 0});  // newer copy of B: replaces it, at the head
    EXPECT_EQ(runtimeRows(list),
              (std::vector<std::string>{"1.6.0.0 b\\", "1.5.0.0 C\\", "1.4.0.0 A\\", "0.0.0.0 "}));
    list.clear();
    EXPECT_EQ(list.head, nullptr);
}

}  // namespace
