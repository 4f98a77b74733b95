// Helpers of the settings file tests: a small disk that is full, and an
// unprivileged user to act as (root writes even where the mode says no).
#pragma once

#include <cstddef>
#include <functional>
#include <string>

// A tmpfs mounted in a mount namespace of this process's own, so nothing
// outside sees it; the programs it starts afterwards do. As root it is
// mounted directly; otherwise in a user namespace, where the system allows
// one (only while the process has no other threads).
class SmallDisk {
  public:
    SmallDisk() = default;
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    // Mounts `bytes` of tmpfs on the existing folder `path`. False, with
    // `why`, when the system allows no such mount.
    bool Mount(const std::string& path, size_t bytes, std::string* why);
    // Takes every free byte with one more file; false, with `why`, when the
    // disk did not end up full.
    bool FillUp(std::string* why);

  private:
    std::string mountPoint;
};

// Runs `body` in a child process, as the user nobody when this process is
// root (else as this user). Its result, or -1 when the child did not end
// normally.
int RunUnprivileged(const std::function<int()>& body);
// The user and group nobody's ids, for handing them files.
bool NobodyIds(unsigned* uid, unsigned* gid);
