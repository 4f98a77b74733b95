// The names a theme may have: plain file names that Linux and Windows both
// accept, short enough for the saver's paths.
#include "base/theme_name.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(ThemeNameTest, AcceptsPlainPortableNames) {
    EXPECT_EQ(THEME_NAME_LEN, 110); // (260 - "C:\Program Files\Tarnwell\Glimmora\" - "\.SS") / 2
    const std::string names[] = {"Reef",
                                 "Reef.v2",
                                 "Bob's $Reef `x` (2)",
                                 "R\xC3\xA9sum\xC3\xA9",
                                 " Reef",
                                 "CONSOLE",
                                 "COM10",
                                 "COM0",
                                 "LPT",
                                 "con-tiki",
                                 std::string(110, 'r')};
    for (const std::string& name : names) {
        EXPECT_EQ(ThemeNameProblem(name), "") << name;
    }
}

TEST(ThemeNameTest, RefusedNamesSayWhy) {
    const struct {
        std::string name;
        const char* why;
    } cases[] = {
        {"", "it is empty"},
        {".", "\".\" names a folder, not a file"},
        {"..", "\"..\" names a folder, not a file"},
        {"a/b", "it holds a folder separator (/ or \\)"},
        {"a\\b", "it holds a folder separator (/ or \\)"},
        {"Re\nef", "it holds a line break"},
        {"Re\tef", "it holds a tab"},
        {std::string("Re\0ef", 5), "it holds the control character 0x00"},
        {"Reef\x7F", "it holds the control character 0x7F"},
        {"a<b", "it holds the character <, which Windows does not allow in file names"},
        {"a\"b", "it holds the character \", which Windows does not allow in file names"},
        {"a:b", "it holds the character :"},
        {"a|b", "it holds the character |"},
        {"a*b", "it holds the character *"},
        {"R\xC3", "it is not UTF-8 text"},
        {"R\xC0\xAF", "it is not UTF-8 text"},         // an overlong "/"
        {"R\xED\xA0\x80", "it is not UTF-8 text"},     // a surrogate
        {"R\xF4\x90\x80\x80", "it is not UTF-8 text"}, // above U+10FFFF
        {".Reef", "it begins with a dot, which hides it on Linux"},
        {"Reef.", "it ends in a dot or a blank, which Windows drops from file names"},
        {"Reef ", "it ends in a dot or a blank"},
        {"CON", "CON is the name of a device on Windows, also with an extension after it"},
        {"con.txt", "CON is the name of a device"},
        {"Nul .old.txt", "NUL is the name of a device"},
        {"aux", "AUX is the name of a device"},
        {"PRN", "PRN is the name of a device"},
        {"com9", "COM9 is the name of a device"},
        {"LPT1.Reef", "LPT1 is the name of a device"},
        {"COM\xC2\xB9", "COM\xC2\xB9 is the name of a device"},
        {"conin$", "CONIN$ is the name of a device"},
        {std::string(111, 'r'), "it is longer than 110 bytes: the path of its script on Windows"},
    };
    for (const auto& c : cases) EXPECT_EQ(ThemeNameProblem(c.name).rfind(c.why, 0), 0u) << c.name;
}

} // namespace
