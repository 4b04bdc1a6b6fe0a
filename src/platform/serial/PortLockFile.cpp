#include "platform/serial/PortLockFile.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace morvane::platform {

namespace {

// The owner's id, 0 when the file is missing or unreadable.
pid_t ReadOwner(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    char text[32] = {};
    ssize_t size = read(fd, text, sizeof text - 1);
    close(fd);
    return size > 0 ? static_cast<pid_t>(std::strtol(text, nullptr, 10)) : 0;
}

bool Running(pid_t pid) {
    return pid > 0 && (kill(pid, 0) == 0 || errno == EPERM);
}

}  // namespace

std::string LockFileName(const std::string& device) {
    std::string name = device.starts_with("/dev/") ? device.substr(5) : device;
    if (!device.starts_with("/dev/"))
        name = name.substr(name.find_last_of('/') + 1);
    for (char& c : name) {
        if (c == '/')
            c = '_';
    }
    return "LCK.." + name;
}

PortLockFile::PortLockFile(PortLockFile&& other) noexcept
    : path_(std::exchange(other.path_, {})), owner_(other.owner_) {}

PortLockFile& PortLockFile::operator=(PortLockFile&& other) noexcept {
    if (this != &other) {
        Release();
        path_ = std::exchange(other.path_, {});
        owner_ = other.owner_;
    }
    return *this;
}

PortLockFile::Result PortLockFile::Acquire(const std::string& lockDir, const std::string& device) {
    Release();
    const std::string path = lockDir + "/" + LockFileName(device);
    // Two tries: the second after removing a stale lock.
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            char text[16];
            int size = std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(getpid()));
            bool written = write(fd, text, static_cast<std::size_t>(size)) == size;
            close(fd);
            if (!written) {
                unlink(path.c_str());
                return Result::NoLockDir;
            }
            path_ = path;
            owner_ = getpid();
            return Result::Taken;
        }
        if (errno != EEXIST)
            return Result::NoLockDir;
        owner_ = ReadOwner(path);
        if (owner_ == getpid() || Running(owner_))
            return Result::Busy;
        unlink(path.c_str());
    }
    return Result::Busy;
}

void PortLockFile::Release() {
    if (!path_.empty())
        unlink(path_.c_str());
    path_.clear();
}

}  // namespace morvane::platform
