// Replacing a file safely: the new content goes to a temporary file beside
// the target, which takes the target's name only once it is complete, so a
// failure at any point leaves the old file as it was.
#pragma once

#include <cstdio>
#include <string>

class FileReplacement {
  public:
    FileReplacement() = default;
    ~FileReplacement(); // removes the temporary file unless committed
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Creates a new temporary file in the target's folder (never one that
    // exists); false with `why` set when it cannot.
    bool Open(const std::string& target, std::string* why);
    std::FILE* File() const { return file; }
    const std::string& TemporaryPath() const { return temporary; }
    // Flushes the content to the disk and renames it over the target; false
    // with `why` set (and the target untouched) when a write failed.
    bool Commit(std::string* why);

  private:
    std::string target;
    std::string temporary;
    std::FILE* file = nullptr;
};

// Whether `a` and `b` name the same file (through links too); false when
// either does not exist.
bool SameFile(const std::string& a, const std::string& b);
