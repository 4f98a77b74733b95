// Helpers for tests that work on real files: a fresh temporary folder per
// test and small file writers.
#pragma once

#include <string>
#include <vector>

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path; }
    // Path of `name` inside the folder.
    std::string File(const std::string& name) const;
    // Writes `content` to `name` inside the folder and returns its path.
    std::string Write(const std::string& name, const std::string& content) const;
    std::string WriteBytes(const std::string& name, const std::vector<unsigned char>& bytes) const;

  private:
    std::string path;
};

std::string ReadFileText(const std::string& path);
std::vector<unsigned char> ReadFileBytes(const std::string& path);

// Runs a shell command and returns its exit status (-1 when it could not run).
int RunCommand(const std::string& command);
