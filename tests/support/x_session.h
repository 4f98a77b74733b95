// Helpers for end-to-end tests of the desktop program: a private X server
// (Xvfb) and child processes that run against it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A virtual X server on a free display, for the lifetime of the object.
class XvfbServer {
  public:
    explicit XvfbServer(int width = 800, int height = 600);
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool Running() const { return pid > 0 && !display.empty(); }
    const std::string& Display() const { return display; } // ":N"

  private:
    int pid = -1;
    std::string display;
};

// A program started with extra environment variables, its output to files.
class ChildProcess {
  public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // `env` holds "NAME=value" entries added to this process's environment.
    bool Start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
               const std::string& outFile, const std::string& errFile);
    // Waits up to `ms` for the end; the exit code, or -1 when it is still
    // running (or was ended by a signal).
    int Wait(int ms);
    bool Running();
    void Kill();
    int Pid() const { return pid; }

  private:
    int pid = -1;
    int exitCode = -1;
};

// Runs a shell command with DISPLAY set; its standard output, trimmed.
std::string XCommand(const std::string& display, const std::string& command, int* status = nullptr);
// Polls `command` until it prints something (up to `ms`); what it printed.
std::string WaitForOutput(const std::string& display, const std::string& command, int ms);

// An RGB picture read from a binary PPM file.
struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    uint32_t Pixel(int x, int y) const; // 0xRRGGBB
};
bool ReadPpm(const std::string& path, RgbPicture* picture);
// Takes a picture of window `window` ("root" for the whole screen) as PPM.
bool Screenshot(const std::string& display, const std::string& window, const std::string& path);
