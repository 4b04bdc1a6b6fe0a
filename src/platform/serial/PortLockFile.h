// The lock-file convention other serial programs (terminal programs, modem
// tools) follow: "LCK..<device>" in the lock directory holds the owner's
// process id as ten characters and a newline. A lock of a process that no
// longer runs is stale and taken over.
#pragma once

#include <sys/types.h>
#include <string>

namespace morvane::platform {

inline constexpr const char* kDefaultLockDir = "/var/lock";

class PortLockFile {
  public:
    enum class Result { Taken, Busy, NoLockDir };

    PortLockFile() = default;
    ~PortLockFile() { Release(); }
    PortLockFile(PortLockFile&& other) noexcept;
    PortLockFile& operator=(PortLockFile&& other) noexcept;

    // Takes the lock for `device`. NoLockDir: the directory is missing or not
    // writable, so no lock could be taken (the port may still be used).
    Result Acquire(const std::string& lockDir, const std::string& device);
    void Release();
    // The process holding the lock after Busy.
    pid_t Owner() const { return owner_; }
    // The lock file while taken.
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
    pid_t owner_ = 0;
};

// "LCK..ttyUSB0" for /dev/ttyUSB0, "LCK..pts_3" for /dev/pts/3.
std::string LockFileName(const std::string& device);

}  // namespace morvane::platform
