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
        bool newHome;  // what the merge answers
        std::vector<std::string> after;
    } steps[] = {
        {"C:\\JRE\\1.3.1\\", {1, 3, 1, 0}, true, {"1.3.1.0 C:\\JRE\\1.3.1\\"}},
        {"C:\\Java\\jre142\\",
         {1, 4, 2, 0},
         true,
         {"1.4.2.0 C:\\Java\\jre142\\", "1.3.1.0 C:\\JRE\\1.3.1\\"}},
        {"C:\\Java\\jre142\\",
         {1, 4, 2, 3},
         false,
         {"1.4.2.3 C:\\Java\\jre142\\", "1.3.1.0 C:\\JRE\\1.3.1\\"}},
        {"c:\\java\\JRE142\\",
         {1, 4, 2, 3},
         false,
         {"1.4.2.3 C:\\Java\\jre142\\", "1.3.1.0 C:\\JRE\\1.3.1\\"}},
        {"C:\\SDK\\jdk142\\",
         {1, 4, 2, 0},
         true,
         {"1.4.2.3 C:\\Java\\jre142\\", "1.4.2.0 C:\\SDK\\jdk142\\", "1.3.1.0 C:\\JRE\\1.3.1\\"}},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(mergeRuntime(list, step.home, step.version), step.newHome) << step.home;
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

// The vendors' runtimes merge with the JavaSoft ones by the same rules: newest first, equal
// versions in the order found, one node per home; the node keeps the source of the entry kept.
TEST(RuntimeList, VendorRuntimesMergeByTheSameRules) {
    RuntimeList list;
    const struct {
        const char* home;
        RuntimeVersion version;
        RuntimeSource source;
    } found[] = {
        {"C:\\jdk17\\", {17, 0, 0, 0}, javaSoftKey},             // JavaSoft JDK 17
        {"C:\\Temurin\\jdk-21\\", {21, 0, 5, 11}, vendorKey},    // Eclipse Adoptium
        {"C:\\Zulu\\zulu-17\\", {17, 0, 0, 0}, vendorKey},       // zulu-17: equal, behind
        {"C:\\Liberica\\", {0, 0, 0, 0}, vendorKey},             // a name without digits
        {"c:\\JDK17\\", {17, 0, 9, 9}, vendorKey},               // the same home, newer
        {"C:\\Temurin\\JDK-21\\", {21, 0, 5, 11}, javaSoftKey},  // the same home, equal
        {"C:\\Semeru\\", {0, 0, 0, 0}, vendorKey},               // versionless, found later
        {"C:\\old\\", {1, 1, 8, 0}, javaSoftKey},
    };
    std::vector<bool> newHomes;
    for (const auto& f : found) newHomes.push_back(mergeRuntime(list, f.home, f.version, f.source));
    EXPECT_EQ(newHomes, (std::vector<bool>{true, true, true, true, false, false, true, true}));
    std::vector<std::string> rows;
    for (const RuntimeCandidate* n = list.head; n != nullptr; n = n->next) {
        rows.push_back(describeVersion(n->version) + " " + n->homeFolder +
                       (n->source == vendorKey ? " vendor" : " JavaSoft"));
    }
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "21.0.5.11 C:\\Temurin\\jdk-21\\ vendor", "17.0.9.9 c:\\JDK17\\ vendor",
                        "17.0.0.0 C:\\Zulu\\zulu-17\\ vendor", "1.1.8.0 C:\\old\\ JavaSoft",
                        "0.0.0.0 C:\\Liberica\\ vendor", "0.0.0.0 C:\\Semeru\\ vendor"}));
}

}  // namespace
