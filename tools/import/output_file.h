// The importer's outputs are written to a temporary file beside the output
// and renamed over it once complete, so that a failure at any point leaves
// what was there before (the input itself, when it is converted in place).
#pragma once

#include <cstdio>
#include <string>

class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile(); // removes the temporary file unless committed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates a temporary file of a fresh name in the output's folder.
    bool Open(const std::string& path, std::string* error);
    std::FILE* File() const { return file; }
    // Flushes and closes the temporary file and renames it to the output,
    // which takes the mode of the file it replaces (or the default mode of a
    // new file).
    bool Commit(std::string* error);

  private:
    void Discard();

    std::string target;
    std::string temporary;
    std::FILE* file = nullptr;
};
