#include "support/test_files.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#ifdef _WIN32
#include <random>
#else
#include <sys/wait.h>
#endif

TempDir::TempDir() {
#ifdef _WIN32
    // No mkdtemp: try random names until a new folder is made.
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::filesystem::path candidate =
            std::filesystem::temp_directory_path() / ("glimmora-test-" + std::to_string(random()));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) {
            path = candidate.generic_string();
            return;
        }
    }
    std::abort();
#else
    std::string pattern =
        (std::filesystem::temp_directory_path() / "glimmora-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) std::abort();
    path = buffer.data();
#endif
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::string TempDir::File(const std::string& name) const {
#ifdef _WIN32
    return path + "\\" + name; // as the program joins a folder and a file name
#else
    return path + "/" + name;
#endif
}

std::string TempDir::Write(const std::string& name, const std::string& content) const {
    std::string file = File(name);
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    std::ofstream out(file, std::ios::binary);
    out << content;
    return file;
}

std::string TempDir::WriteBytes(const std::string& name,
                                const std::vector<unsigned char>& bytes) const {
    return Write(name, std::string(bytes.begin(), bytes.end()));
}

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<unsigned char> ReadFileBytes(const std::string& path) {
    std::string text = ReadFileText(path);
    return std::vector<unsigned char>(text.begin(), text.end());
}

int RunCommand(const std::string& command) {
    int status = std::system(command.c_str());
#ifdef _WIN32
    return status; // the command's exit code itself
#else
    if (status == -1 || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
#endif
}
