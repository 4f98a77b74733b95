#ifdef GLIMMORA_HAVE_DESKTOP

#include "scratch_disk.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

} // namespace

SmallDisk::~SmallDisk() {
    if (!mountPoint.empty()) umount2(mountPoint.c_str(), MNT_DETACH);
}

bool SmallDisk::Mount(const std::string& path, size_t bytes, std::string* why) {
    if (geteuid() != 0) {
        uid_t uid = getuid();
        gid_t gid = getgid();
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            *why = std::string("no user namespace: ") + std::strerror(errno);
            return false;
        }
        // This user becomes root of the namespace, with the right to mount.
        if (!WriteText("/proc/self/setgroups", "deny") ||
            !WriteText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1\n") ||
            !WriteText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1\n")) {
            *why = "the user namespace's ids could not be mapped";
            return false;
        }
    } else if (unshare(CLONE_NEWNS) != 0) {
        *why = std::string("no mount namespace: ") + std::strerror(errno);
        return false;
    }
    // Mounts made here must not reach the system's namespace.
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        *why = std::string("mounts cannot be made private: ") + std::strerror(errno);
        return false;
    }
    std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
    if (mount("tmpfs", path.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
        *why = std::string("tmpfs cannot be mounted: ") + std::strerror(errno);
        return false;
    }
    mountPoint = path;
    return true;
}

bool SmallDisk::FillUp(std::string* why) {
    std::string filler = mountPoint + "/filler";
    int fd = open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        *why = std::string("no filler file: ") + std::strerror(errno);
        return false;
    }
    char block[4096] = {};
    for (size_t size = sizeof(block); size > 0; size /= 2) {
        while (write(fd, block, size) == static_cast<ssize_t>(size)) {
        }
    }
    bool full = errno == ENOSPC;
    if (!full) *why = std::string("filling stopped: ") + std::strerror(errno);
    close(fd);
    return full;
}

bool NobodyIds(unsigned* uid, unsigned* gid) {
    const passwd* user = getpwnam("nobody");
    if (!user) return false;
    *uid = user->pw_uid;
    const group* nogroup = getgrnam("nogroup");
    *gid = nogroup ? nogroup->gr_gid : user->pw_gid;
    return true;
}

int RunUnprivileged(const std::function<int()>& body) {
    pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        unsigned uid = 0;
        unsigned gid = 0;
        if (geteuid() == 0 && (!NobodyIds(&uid, &gid) || setgroups(0, nullptr) != 0 ||
                               setgid(gid) != 0 || setuid(uid) != 0)) {
            _exit(125);
        }
        _exit(body());
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

#endif
