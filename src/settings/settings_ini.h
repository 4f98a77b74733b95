// The text of a settings file: sections of "name=value" lines holding 32-bit
// integers, in the form the desktop program has always written (names
// escaped with %XX, a section named General written as "[%General]").
//
// Reading takes every line it can and skips the others, so one damaged line
// costs only its own value. Time and memory are bounded by SETTINGS_INI_MAX_BYTES
// whatever the bytes. Names are matched without regard to (ASCII) case.
// Writing keeps what the text held besides (other sections and values, in
// their order and their own spelling) and drops only unreadable lines and
// comments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The most of a settings file that is read; a file of the program's own is
// a few kilobytes.
constexpr size_t SETTINGS_INI_MAX_BYTES = 256 * 1024;

class SettingsIni {
  public:
    // Reads `size` bytes of text, replacing what was held. Of a longer text
    // only the whole lines within the first SETTINGS_INI_MAX_BYTES are read.
    void Parse(const char* text, size_t size);

    // The value of `name` in section `section`: true and the value when the
    // text holds it as a 32-bit decimal integer. Of several the last counts.
    bool Get(const char* section, const char* name, int32_t* value) const;
    // Sets the value, adding the section and the name when missing. A value
    // without a name is not kept.
    void Set(const char* section, const char* name, int32_t value);

    // The text to store.
    std::string Text() const;

    // Lines that could not be read (a line without "=", control bytes, a
    // section header without "]").
    int skippedLines = 0;
    // The text was longer than SETTINGS_INI_MAX_BYTES.
    bool truncated = false;

  private:
    struct Section {
        std::string header; // as written between the brackets
        std::string name;   // unescaped, for matching
        bool unreadable;    // its header could not be read: matches no name
    };
    struct Entry {
        size_t section;
        std::string key;  // as written
        std::string name; // unescaped, for matching
        std::string value;
    };
    // The index of the last section named `name` (already in stored form), or -1.
    long FindSection(const std::string& name) const;
    long FindEntry(const std::string& section, const std::string& name) const;
    void ReadLine(const char* line, size_t length);

    std::vector<Section> sections; // [0]: the lines before any header, written as General
    std::vector<Entry> entries;    // in the order read or added
};
