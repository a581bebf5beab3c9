#include <gtest/gtest.h>

#include <string>

#include "../common/runtime_rows.h"

namespace {

RuntimeVersion parse(const char* name) {
    std::string copy = name;
    return parseVersionName(&copy[0]);
}

TEST(RuntimeVersion, NamesGiveUpToFourNumbers) {
    const struct {
        const char* name;
        const char* version;
    } cases[] = {
        {"1.4", "1.4.0.0"},
        {"1.3.1", "1.3.1.0"},
        {"1.4.2_03", "1.4.2.3"},
        {"1.5.0_06-b05", "1.5.0.6"},
        {"jre 1.2", "1.2.0.0"},
        {"no digits here", "0.0.0.0"},
        {"", "0.0.0.0"},
        {"10.20.30.40.50", "10.20.30.40"},
        {"007", "7.0.0.0"},
        {"1..4", "1.4.0.0"},
        {"-1.2", "1.2.0.0"},
        {"1.4.0_01", "1.4.0.1"},
        // Names under the JRE and JDK keys of Java 9 and later.
        {"17", "17.0.0.0"},
        {"11.0.2", "11.0.2.0"},
        {"1.8.0_202", "1.8.0.202"},
        {"17.0.9+9", "17.0.9.9"},
        // Names under the vendors' keys: a version, or a name that starts with letters.
        {"21.0.5.11", "21.0.5.11"},
        {"8.0.392.8", "8.0.392.8"},
        {"zulu-17", "17.0.0.0"},
        {"Liberica JDK 21 Full", "21.0.0.0"},
        {"zulu", "0.0.0.0"},
    };
    for (const auto& c : cases) EXPECT_EQ(describeVersion(parse(c.name)), c.version) << c.name;
}

TEST(RuntimeVersion, NumbersBeyondThirtyTwoBitsStayAtTheRangesEnd) {
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"99999999999999999999", 2147483647},
        {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN},
        {"-99999999999", INT32_MIN},
        {" \t\n+12x", 12},
        {"0004294967297", 2147483647},
        {"-", 0},
        {"", 0},
        {"- 5", 0},
        {"214748364", 214748364},
    };
    for (const auto& c : cases) EXPECT_EQ(decimalValue(c.text), c.value) << c.text;

    // Through the name parse and the MicroVersion rule alike.
    EXPECT_EQ(describeVersion(parse("1.99999999999.4294967296_5")), "1.2147483647.2147483647.5");
    RuntimeVersion v = parse("1.4");
    std::string micro = "4294967296_-4294967296";
    applyMicroVersion(v, &micro[0]);
    EXPECT_EQ(describeVersion(v), "1.4.2147483647.-2147483648");
}

TEST(RuntimeVersion, MicroVersionIsConsultedOnlyWhenMicroAndUpdateAreZero) {
    const struct {
        const char* name;
        const char* microVersion;
        const char* version;
    } cases[] = {
        {"1.4", "2", "1.4.2.0"},      {"1.4", "2_05", "1.4.2.5"}, {"1.4.0", "1", "1.4.1.0"},
        {"1.4.1", "7", "1.4.1.0"},     // not consulted
        {"1.4.0_01", "7", "1.4.0.1"},  // not consulted
        {"1.4", "", "1.4.0.0"},       {"1.4", " 3x", "1.4.3.0"},  {"1.4", "_9", "1.4.0.9"},
        {"1.4", "\x02", "1.4.0.0"},  // a number stored as binary reads as no digits
    };
    for (const auto& c : cases) {
        RuntimeVersion v = parse(c.name);
        if (wantsMicroVersion(v)) {
            std::string micro = c.microVersion;
            applyMicroVersion(v, &micro[0]);
        }
        EXPECT_EQ(describeVersion(v), c.version) << c.name << " + " << c.microVersion;
    }
}

TEST(RuntimeVersion, ComparisonIsLexicographic) {
    const RuntimeVersion a = {1, 4, 2, 3}, b = {1, 4, 2, 0}, c = {1, 5, 0, 0};
    const RuntimeVersion extreme = {-2147483647 - 1, 0, 0, 0}, high = {2147483647, 0, 0, 0};
    EXPECT_GT(compareVersions(a, b), 0);
    EXPECT_LT(compareVersions(a, c), 0);
    EXPECT_EQ(compareVersions(a, a), 0);
    EXPECT_LT(compareVersions(extreme, high), 0);
    EXPECT_GT(compareVersions(high, extreme), 0);
}

TEST(RuntimeVersion, TrimSpacesTouchesOnlySpaces) {
    EXPECT_EQ(trimSpaces(nullptr), nullptr);
    const struct {
        const char* text;
        const char* trimmed;
    } cases[] = {{"  1.4  ", "1.4"}, {"   ", ""}, {"", ""}, {"\t1.4 ", "\t1.4"}, {"a b", "a b"}};
    for (const auto& c : cases) {
        std::string text = c.text;
        EXPECT_STREQ(trimSpaces(&text[0]), c.trimmed) << '"' << c.text << '"';
    }
}

TEST(RuntimeVersion, HomeTextGetsABackslashUpTo258Characters) {
    const struct {
        std::string value;
        std::string home;
    } cases[] = {
        {" C:\\JRE ", "C:\\JRE\\"},
        {"C:\\JRE\\", "C:\\JRE\\"},
        {"", ""},
        {"    ", ""},
        {std::string(258, 'a'), std::string(258, 'a') + "\\"},
        {std::string(259, 'a'), std::string(259, 'a')},
        {std::string(260, 'a'), std::string(260, 'a')},
    };
    for (const auto& c : cases) {
        char buffer[262] = {};
        memcpy(buffer, c.value.c_str(), c.value.size() + 1);
        EXPECT_EQ(std::string(makeHomeText(buffer)), c.home) << c.value.size();
    }
}

}  // namespace
