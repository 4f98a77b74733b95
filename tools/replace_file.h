// Replacing a file safely: the new content goes to a temporary file of a
// fresh name beside the target, which takes the target's name only once it
// is complete and on the disk, so a failure at any point leaves what was
// there before (the input itself, when a file is converted in place).
#pragma once

#include <cstdio>
#include <string>

class FileReplacement {
  public:
    FileReplacement() = default;
    ~FileReplacement(); // removes the temporary file unless committed
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Creates the temporary file in the target's folder (never one that
    // exists); false with `why` set when it cannot.
    bool Open(const std::string& target, std::string* why);
    std::FILE* File() const { return file; }
    // The temporary file's path, for a program that writes it by name.
    const std::string& TemporaryPath() const { return temporary; }
    // Flushes the content to the disk and renames it over the target, which
    // keeps the mode of the file it replaces (a new one gets the mode new
    // files get). False with `why` set, and the target untouched, when a
    // write failed. Reasons read "cannot write it (No space left on device)".
    bool Commit(std::string* why);

  private:
    void Discard();

    std::string target;
    std::string temporary;
    std::FILE* file = nullptr;
};

// Whether `a` and `b` name the same file (through links too); false when
// either does not exist.
bool SameFile(const std::string& a, const std::string& b);
