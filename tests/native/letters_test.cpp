// Text walked by letters of the code page in use.
#include <string>

#include "launch/command_pieces.h"
#include "launch/runtime_version.h"
#include "launch/tried_homes.h"
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

}  // namespace
