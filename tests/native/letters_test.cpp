// Text walked by letters of the code page in use, and names converted into a code page exactly or
// not at all.
#include <map>
#include <string>

#include "launch/command_pieces.h"
#include "launch/runtime_version.h"
#include "launch/tried_homes.h"
#include "startup/exact_names.h"
#include "startup/folder_text.h"
#include "startup/letters.h"
#include "state_fixture.h"

namespace {

class LettersTest : public StateTest {
protected:
    void TearDown() override {
        textCodePage = TextCodePage();
        StateTest::TearDown();
    }
};

// In each of these code pages a letter whose second byte is the backslash, and two letters whose
// second bytes differ only as an ASCII letter's case does.
TEST_F(LettersTest, NoSecondByteIsTakenForABackslashOrALetter) {
    const struct {
        const char* codePage;
        TextCodePage ranges;
        const char* backslashLetter;  // its second byte is 0x5C
        const char* lower;
        const char* upper;
    } cases[] = {
        {"932", {{0x81, 0x9F, 0xE0, 0xFC}, false}, "\x95\x5C", "\x82\x61", "\x82\x41"},  // 表
        {"936", {{0x81, 0xFE}, false}, "\x81\x5C", "\x81\x61", "\x81\x41"},              // 乗
        {"950", {{0x81, 0xFE}, false}, "\xB3\x5C", "\xA4\x61", "\xA4\x41"},              // 許
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.codePage);
        textCodePage = c.ranges;
        const std::string letter = c.backslashLetter;

        std::string module = "C:\\app\\" + letter + "x.exe";
        trimToFolder(&module[0]);
        EXPECT_STREQ(module.c_str(), "C:\\app\\");

        std::string documents = "C:\\docs" + letter;
        trimDocumentsFolder(&documents[0]);
        EXPECT_EQ(documents.c_str(), "C:\\docs" + letter);

        CommandString line;
        appendFolder(line, ("C:\\jdk" + letter).c_str());
        appendQuotedArgument(line, "-D", "p=", ("C:\\d" + letter).c_str());
        appendQuotedArgument(line, "-D", "q=", ("C:\\d" + letter + "\\").c_str());
        EXPECT_EQ(std::string(line.textOrEmpty()), "C:\\jdk" + letter + "\\ \"-Dp=C:\\d" + letter +
                                                       "\" \"-Dq=C:\\d" + letter + "\\\\\"");

        char home[64] = "";
        snprintf(home, sizeof home, " C:\\jdk%s ", c.backslashLetter);
        EXPECT_EQ(std::string(makeHomeText(home)), "C:\\jdk" + letter + "\\");

        EXPECT_TRUE(sameHome(("C:\\jdk" + letter).c_str(), ("c:\\JDK" + letter + "\\").c_str()));
        EXPECT_FALSE(sameHome(("C:\\" + letter).c_str(), "C:\\\x95"));
        EXPECT_FALSE(sameHome(("C:\\" + std::string(c.lower)).c_str(),
                              ("C:\\" + std::string(c.upper)).c_str()));
    }
    // In a single-byte code page the same bytes are two letters each.
    textCodePage = TextCodePage();
    std::string module = "C:\\app\\\x95\\x.exe";
    trimToFolder(&module[0]);
    EXPECT_STREQ(module.c_str(), "C:\\app\\\x95\\");
    EXPECT_TRUE(sameHome("C:\\\x82\x61", "C:\\\x82\x41"));
}

// A home of more than 258 bytes still gets its backslash when it has 258 characters or fewer:
// UTF-8 takes three bytes for 表 and four, as two UTF-16 units, for a letter beyond the BMP.
TEST_F(LettersTest, HomeTextsCountCharactersNotBytes) {
    const std::string han = "\xE8\xA1\xA8", emoji = "\xF0\x9F\x98\x80";
    std::string hans, emojis;
    for (int i = 0; i < 100; ++i) hans += han;
    for (int i = 0; i < 128; ++i) emojis += emoji;
    const struct {
        bool utf8;
        std::string value;
        size_t characters;
    } cases[] = {
        {true, "C:\\" + hans, 103},   // in 303 bytes
        {false, "C:\\" + hans, 303},  // the same bytes in a single-byte code page
        {true, "C:" + emojis, 258},
        {true, "C:\\" + emojis, 259},
    };
    for (const auto& c : cases) {
        textCodePage.utf8 = c.utf8;
        std::string buffer = c.value + std::string(2, '\0');
        EXPECT_EQ(pathCharacters(buffer.c_str()), c.characters);
        EXPECT_EQ(std::string(makeHomeText(&buffer[0])) == c.value + "\\", c.characters <= 258)
            << c.characters;
    }
}

// WideCharToMultiByte as Windows answers for code pages 1252, 932 and UTF-8, for the letters of the
// tests: best fit unless told not to (Ł reads as L, uncounted), and a refusal to count lost
// letters, or to take any flag, for UTF-8.
struct ModelLetter {
    char16_t wide;
    const char* in1252;  // null: none
    const char* bestFit1252;
    const char* in932;
};
const ModelLetter modelLetters[] = {
    {u'\u00e9', "\xE9", nullptr, nullptr},      // é
    {u'\u00f3', "\xF3", nullptr, nullptr},      // ó
    {u'\u0141', nullptr, "L", nullptr},         // Ł
    {u'\u017a', nullptr, "z", nullptr},         // ź
    {u'\u8868', nullptr, nullptr, "\x95\x5C"},  // 表
    {u'\u793a', nullptr, nullptr, "\x8E\xA6"},  // 示
};
int refusals;

int modelNarrow(uint32_t codePage, uint32_t flags, const char16_t* wide, char* narrow, int capacity,
                int* lost) {
    if (codePage == utf8CodePage && (flags != 0 || lost != nullptr)) {
        ++refusals;
        return 0;  // ERROR_INVALID_PARAMETER
    }
    std::string text;
    bool anyLost = false;
    for (; *wide != 0; ++wide) {
        const char16_t c = *wide;
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else if (codePage == utf8CodePage) {
            if (c < 0x800) {
                text += static_cast<char>(0xC0 | c >> 6);
            } else {
                text += static_cast<char>(0xE0 | c >> 12);
                text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            }
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            const ModelLetter* letter = nullptr;
            for (const ModelLetter& l : modelLetters) letter = l.wide == c ? &l : letter;
            const char* exact = letter == nullptr  ? nullptr
                                : codePage == 1252 ? letter->in1252
                                                   : letter->in932;
            if (exact != nullptr) {
                text += exact;
            } else if (codePage == 1252 && letter != nullptr && letter->bestFit1252 != nullptr &&
                       (flags & noBestFit) == 0) {
                text += letter->bestFit1252;  // a look-alike, not counted as lost
            } else {
                text += '?';
                anyLost = true;
            }
        }
    }
    if (static_cast<int>(text.size()) + 1 > capacity) return 0;
    memcpy(narrow, text.c_str(), text.size() + 1);
    if (lost != nullptr) *lost = anyLost;
    return static_cast<int>(text.size()) + 1;
}

std::map<std::u16string, std::u16string> shortForms;

uint32_t modelShortForm(const char16_t* path, char16_t* shortPath, uint32_t capacity) {
    const auto found = shortForms.find(path);
    if (found == shortForms.end()) return 0;
    if (found->second.size() >= capacity) return static_cast<uint32_t>(found->second.size() + 1);
    std::copy(found->second.c_str(), found->second.c_str() + found->second.size() + 1, shortPath);
    return static_cast<uint32_t>(found->second.size());
}

const NameConversion model = {modelNarrow, modelShortForm};

TEST(ExactNames, ExactOrShortOrNothingAndNeverALookAlike) {
    shortForms = {{u"C:\\\u0141\u00f3d\u017a", u"C:\\LD8F~1"},
                  {u"C:\\\u8868\u793a", u"C:\\F1A2~1"}};
    // Windows refuses the count of lost letters for UTF-8: the rule does not ask it.
    int lost = 0;
    char probe[8];
    refusals = 0;
    EXPECT_EQ(modelNarrow(utf8CodePage, 0, u"x", probe, sizeof probe, &lost), 0);
    const struct {
        uint32_t codePage;
        const char16_t* name;
        unsigned capacity;
        const char* expected;  // null: refused
    } cases[] = {
        {1252, u"C:\\Caf\u00e9", pathBytes, "C:\\Caf\xE9"},
        {1252, u"C:\\\u0141\u00f3d\u017a", pathBytes, "C:\\LD8F~1"},  // not C:\Lódz
        {1252, u"C:\\\u0141ukasz", pathBytes, nullptr},               // no short form
        {932, u"C:\\\u8868\u793a", pathBytes, "C:\\\x95\x5C\x8E\xA6"},
        {932, u"C:\\\u0141\u00f3d\u017a", pathBytes, "C:\\LD8F~1"},
        {utf8CodePage, u"C:\\\u0141\u00f3d\u017a", pathBytes,
         "C:\\\xC5\x81\xC3\xB3"
         "d\xC5\xBA"},
        {utf8CodePage, u"C:\\\u8868", pathBytes, "C:\\\xE8\xA1\xA8"},
        {utf8CodePage, u"C:\\\u8868", 6, nullptr},  // does not fit: refused, never cut
    };
    for (const auto& c : cases) {
        char narrow[pathBytes] = "";
        const bool converted = exactOrShortName(model, c.codePage, c.name, narrow, c.capacity);
        EXPECT_EQ(converted, c.expected != nullptr) << c.codePage << " " << narrow;
        if (converted && c.expected != nullptr) EXPECT_STREQ(narrow, c.expected) << c.codePage;
    }
    EXPECT_EQ(refusals, 1) << "only the probe was refused";
}

// A runtime reads in the system's code page: a path it cannot spell there goes by its short name,
// written in the launcher's code page.
TEST(ExactNames, WhatARuntimeIsHanded) {
    shortForms = {{u"C:\\\u0141\u00f3d\u017a", u"C:\\LD8F~1"}};
    const struct {
        uint32_t launcherCodePage, systemCodePage;
        const char16_t* path;
        RuntimeForm form;
    } cases[] = {
        {utf8CodePage, 1252, u"C:\\\u0141\u00f3d\u017a", shortForm},
        {utf8CodePage, 1252, u"C:\\Caf\u00e9", ownForm},
        {utf8CodePage, 932, u"C:\\\u8868\u793a", ownForm},
        {utf8CodePage, 1252, u"C:\\\u0141ukasz", noReadableForm},   // short names switched off
        {utf8CodePage, utf8CodePage, u"C:\\\u0141ukasz", ownForm},  // UTF-8 as the system's too
        {1252, 1252, u"C:\\LD8F~1", ownForm},
        {932, 932, u"C:\\\u0141\u00f3d\u017a", shortForm},
    };
    for (const auto& c : cases) {
        char narrow[pathBytes] = "";
        EXPECT_EQ(
            runtimeName(model, c.launcherCodePage, c.systemCodePage, c.path, narrow, sizeof narrow),
            c.form)
            << c.launcherCodePage << "/" << c.systemCodePage;
        if (c.form == shortForm) EXPECT_STREQ(narrow, "C:\\LD8F~1");
    }
}

}  // namespace
