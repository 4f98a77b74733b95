#include "support/x_session.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

void SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

XvfbServer::XvfbServer(int width, int height) {
    int fds[2];
    if (pipe(fds) != 0) return;
    std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    std::string fd = std::to_string(fds[1]);
    pid = fork();
    if (pid == 0) {
        close(fds[0]);
        int null = open("/dev/null", O_RDWR);
        dup2(null, 1);
        dup2(null, 2);
        // -displayfd: the server picks a free display and writes its number there.
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
               "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return;
    }
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        if (poll(&p, 1, 200) <= 0) continue;
        char c;
        ssize_t n = read(fds[0], &c, 1);
        if (n <= 0) break;
        if (c == '\n') {
            display = ":" + number;
            break;
        }
        number += c;
    }
    close(fds[0]);
}

XvfbServer::~XvfbServer() {
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}

ChildProcess::~ChildProcess() {
    Kill();
}

bool ChildProcess::Start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                         const std::string& outFile, const std::string& errFile) {
    pid = fork();
    if (pid == 0) {
        for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
        int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0) dup2(out, 1);
        if (err >= 0) dup2(err, 2);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    exitCode = -1;
    return pid > 0;
}

int ChildProcess::Wait(int ms) {
    if (pid <= 0) return exitCode;
    for (int waited = 0;; waited += 20) {
        int status = 0;
        pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) {
            pid = -1;
            exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            return exitCode;
        }
        if (waited >= ms) return -1;
        SleepMs(20);
    }
}

bool ChildProcess::Running() {
    return pid > 0 && Wait(0) == -1 && pid > 0;
}

void ChildProcess::Kill() {
    if (pid <= 0) return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

std::string XCommand(const std::string& display, const std::string& command, int* status) {
    std::string full = "DISPLAY=" + display + " " + command + " 2>/dev/null";
    std::string out;
    FILE* pipe = popen(full.c_str(), "r");
    if (!pipe) {
        if (status) *status = -1;
        return out;
    }
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), pipe)) > 0) out.append(buffer, n);
    int s = pclose(pipe);
    if (status) *status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    return out;
}

std::string WaitForOutput(const std::string& display, const std::string& command, int ms) {
    for (int waited = 0; waited <= ms; waited += 100) {
        std::string out = XCommand(display, command);
        if (!out.empty()) return out;
        SleepMs(100);
    }
    return "";
}

uint32_t RgbPicture::Pixel(int x, int y) const {
    size_t i = (static_cast<size_t>(y) * width + x) * 3;
    return uint32_t(rgb[i]) << 16 | uint32_t(rgb[i + 1]) << 8 | rgb[i + 2];
}

bool ReadPpm(const std::string& path, RgbPicture* picture) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    in >> magic >> picture->width >> picture->height >> maxValue;
    if (!in || magic != "P6" || maxValue != 255 || picture->width <= 0 || picture->height <= 0) {
        return false;
    }
    in.get();
    picture->rgb.resize(static_cast<size_t>(picture->width) * picture->height * 3);
    in.read(reinterpret_cast<char*>(picture->rgb.data()),
            static_cast<std::streamsize>(picture->rgb.size()));
    return static_cast<bool>(in);
}

bool Screenshot(const std::string& display, const std::string& window, const std::string& path) {
    int status = -1;
    XCommand(display, "import -window " + window + " -depth 8 ppm:'" + path + "'", &status);
    return status == 0;
}
