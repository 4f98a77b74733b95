// The settings file's text: what a damaged text still gives, the names of
// files written by earlier versions, and what a write keeps.
#include "settings/settings_ini.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using namespace std::string_literals;

SettingsIni Parsed(const std::string& text) {
    SettingsIni ini;
    ini.Parse(text.data(), text.size());
    return ini;
}

// The value, or -999 when there is none that reads.
int32_t ValueOf(const SettingsIni& ini, const char* section, const char* name) {
    int32_t value = -999;
    return ini.Get(section, name, &value) ? value : -999;
}

struct DamageCase {
    const char* what;
    std::string text;
    const char* section;
    const char* name;
    int32_t expected; // -999: absent
    int skipped;
};

TEST(SettingsIniTest, DamagedTextKeepsEveryValueThatReads) {
    const std::string huge(200000, 'x');
    const DamageCase cases[] = {
        {"a broken line", "[Config]\nSound=0\nthis is no setting\nGamma=2\n", "Config", "Gamma", 2,
         1},
        {"the value before it", "[Config]\nSound=0\nthis is no setting\nGamma=2\n", "Config",
         "Sound", 0, 1},
        {"junk", "]]\n=5\n[Config]\n\xff\xfe=3\n===\nGamma=2\n", "Config", "Gamma", 2, 3},
        {"a huge line", huge + "\n[Config]\nGamma=3\n", "Config", "Gamma", 3, 1},
        {"a huge value", "[Config]\nSound=" + huge + "\nGamma=3\n", "Config", "Gamma", 3, 0},
        {"NUL in a name", "[Config]\nSo\0und=1\nGamma=4\n"s, "Config", "Sound", -999, 1},
        {"NUL beside", "[Config]\nSo\0und=1\nGamma=4\n"s, "Config", "Gamma", 4, 1},
        {"NUL in a header", "[Con\0fig]\nGamma=5\n"s, "Config", "Gamma", -999, 1},
        {"not read into the section above", "[Config]\n[X\1]\nGamma=5\n"s, "Config", "Gamma", -999,
         1},
        {"no closing bracket", "[Config\nGamma=6\n", "Config", "Gamma", 6, 1},
        {"duplicate keys: the last", "[Config]\nGamma=1\nGamma=2\n", "Config", "Gamma", 2, 0},
        {"duplicate sections", "[Config]\nGamma=1\n[Reef]\nFish=2\n[Config]\nSound=0\n", "Config",
         "Gamma", 1, 0},
        {"CRLF", "[Config]\r\nGamma=7\r\nSound=0\r\n", "Config", "Gamma", 7, 0},
        {"CR alone", "[Config]\rGamma=8\r", "Config", "Gamma", 8, 0},
        {"case", "[cONFIG]\ngAMMA=9\n", "Config", "Gamma", 9, 0},
        {"blanks", "  [Config]  \n\t Gamma = 10 \n", "Config", "Gamma", 10, 0},
        {"quotes", "[Config]\nGamma=\"11\"\n", "Config", "Gamma", 11, 0},
        {"comment", "[Config]\n; Gamma=1\nGamma=12 ; brighter\n", "Config", "Gamma", 12, 0},
        {"plus", "[Config]\nGamma=+13\n", "Config", "Gamma", 13, 0},
        {"lowest", "[Config]\nGamma=-2147483648\n", "Config", "Gamma", INT32_MIN, 0},
        {"too high", "[Config]\nGamma=2147483648\n", "Config", "Gamma", -999, 0},
        {"word", "[Config]\nSound=loud\n", "Config", "Sound", -999, 0},
        {"hex", "[Config]\nGamma=0x10\n", "Config", "Gamma", -999, 0},
        {"empty", "[Config]\nGamma=\n", "Config", "Gamma", -999, 0},
        {"other section", "[Reef]\nGamma=1\n", "Config", "Gamma", -999, 0},
        {"nothing", "", "Config", "Gamma", -999, 0},
    };
    for (const DamageCase& c : cases) {
        SettingsIni ini = Parsed(c.text);
        EXPECT_EQ(ValueOf(ini, c.section, c.name), c.expected) << c.what;
        EXPECT_EQ(ini.skippedLines, c.skipped) << c.what;
    }
}

TEST(SettingsIniTest, AnOverlongTextIsReadOnlyToItsLastWholeLine) {
    std::string text = "[Config]\nSound=0\n";
    text += std::string(SETTINGS_INI_MAX_BYTES - text.size() - 8, ';') + "\nGamma=12345\n";
    ASSERT_GT(text.size(), SETTINGS_INI_MAX_BYTES); // the limit falls inside "Gamma=12345"
    SettingsIni ini = Parsed(text);
    EXPECT_TRUE(ini.truncated);
    EXPECT_EQ(ValueOf(ini, "Config", "Sound"), 0);
    EXPECT_EQ(ValueOf(ini, "Config", "Gamma"), -999); // not "Gamma=1"
}

// What the desktop program wrote with its earlier settings library, for
// the names a theme may give its modules and parameters.
const char EARLIER_FILE[] = "[General]\n"
                            "Sp%20eed%252F%2525%255C=12\n\n"
                            "[%20%20spaced%20%20]\nSp%20eed%252F%2525%255C=11\n\n"
                            "[%25252F]\nSp%20eed%252F%2525%255C=7\n\n"
                            "[50%2525%20off]\nSp%20eed%252F%2525%255C=6\n\n"
                            "[A%252FB]\nSp%20eed%252F%2525%255C=4\n\n"
                            "[C%255CD]\nSp%20eed%252F%2525%255C=5\n\n"
                            "[Config]\nActiveModule=-2147483648\nSound=1\n\n"
                            "[Coral%20Reef]\nSp%20eed%252F%2525%255C=13\n\n"
                            "[%General]\nSp%20eed%252F%2525%255C=3\n\n"
                            "[%5BBrackets%5D]\nSp%20eed%252F%2525%255C=8\n\n"
                            "[a%3Db%3B%20c%23d]\nSp%20eed%252F%2525%255C=9\n\n"
                            "[tab%09here]\nSp%20eed%252F%2525%255C=16\n\n"
                            "[%C3%9Cn%C3%AF]\nSp%20eed%252F%2525%255C=17\n\n"
                            "[%E9t%E9]\nSp%20eed%252F%2525%255C=10\n";

struct NameCase {
    const char* section;
    int32_t expected;
};

TEST(SettingsIniTest, FilesOfEarlierVersionsReadWithTheirNames) {
    const NameCase cases[] = {{"", 12},
                              {"  spaced  ", 11},
                              {"%2F", 7},
                              {"50% off", 6},
                              {"A/B", 4},
                              {"C\\D", 5},
                              {"Coral Reef", 13},
                              {"General", 3},
                              {"GENERAL", 3},
                              {"[Brackets]", 8},
                              {"a=b; c#d", 9},
                              {"tab\there", 16},
                              {"\xC3\x9Cn\xC3\xAF", 17},
                              {"\xE9t\xE9", 10},
                              {"A", -999}};
    SettingsIni ini = Parsed(EARLIER_FILE);
    EXPECT_EQ(ini.skippedLines, 0);
    for (const NameCase& c : cases) {
        EXPECT_EQ(ValueOf(ini, c.section, "Sp eed/%\\"), c.expected) << c.section;
    }
    EXPECT_EQ(ValueOf(ini, "CORAL REEF", "sp EED/%\\"), 13);
    EXPECT_EQ(ValueOf(ini, "Config", "ActiveModule"), INT32_MIN);
    // A file written now names them alike, so an earlier version reads it too.
    SettingsIni fresh;
    for (const NameCase& c : cases) {
        if (c.expected != -999 && std::string(c.section) != "GENERAL") {
            fresh.Set(c.section, "Sp eed/%\\", c.expected);
        }
    }
    fresh.Set("Config", "ActiveModule", INT32_MIN);
    fresh.Set("Config", "Sound", 1);
    std::string written = fresh.Text();
    for (const char* line : {"[Coral%20Reef]\nSp%20eed%252F%2525%255C=13\n", "[%General]\n",
                             "[General]\nSp%20eed%252F%2525%255C=12\n", "[A%252FB]\n",
                             "[%E9t%E9]\n", "[Config]\nActiveModule=-2147483648\nSound=1\n"}) {
        EXPECT_NE(written.find(line), std::string::npos) << line << " in\n" << written;
    }
}

TEST(SettingsIniTest, AWriteKeepsEverythingElseAndDropsOnlyWhatDoesNotRead) {
    SettingsIni ini = Parsed("[Old%20Module]\nSpeed=4\n\n"
                             "[config]\nsound=loud\n; a comment\nthis line is damaged\n"
                             "Extra=\"7\"\n\n"
                             "[Reef]\nFish=2\n");
    ini.Set("Config", "Sound", 0);  // replaces the value that did not read
    ini.Set("Config", "Gamma", -3); // joins its section
    ini.Set("Night", "Stars", 80);  // a new section at the end
    ini.Set("Reef", "", 9);         // a value needs a name: "=9" would not read
    EXPECT_EQ(ini.Text(), "[Old%20Module]\nSpeed=4\n\n"
                          "[config]\nsound=0\nExtra=\"7\"\nGamma=-3\n\n"
                          "[Reef]\nFish=2\n\n"
                          "[Night]\nStars=80\n");
    SettingsIni again = Parsed(ini.Text());
    EXPECT_EQ(ValueOf(again, "Config", "Sound"), 0);
    EXPECT_EQ(ValueOf(again, "Config", "Extra"), 7);
    EXPECT_EQ(ValueOf(again, "Old Module", "Speed"), 4);
    EXPECT_EQ(again.skippedLines, 0);
}

TEST(SettingsIniTest, ValuesBelowAnUnreadableHeaderAreNotWrittenIntoAnother) {
    SettingsIni ini = Parsed("[Config]\nSound=1\n[Re\x01"
                             "ef]\nSound=0\n");
    ini.Set("Config", "Gamma", 1);
    EXPECT_EQ(ini.Text(), "[Config]\nSound=1\nGamma=1\n");
}

} // namespace
