// The one place outside platform/ that calls the operating system directly:
// the standard library has no way to flush a file to the disk.
#include "settings/DiskSync.h"

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>

namespace morvane::settings {

#ifdef _WIN32
bool SyncToDisk(const std::filesystem::path&, std::string&) {
    // Left to the system on Windows: folders cannot be flushed there. The
    // rename stays atomic; only a power cut right after a save can lose it.
    return true;
}
#else
bool SyncToDisk(const std::filesystem::path& path, std::string& error) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || fsync(fd) != 0) {
        error = "cannot flush " + path.string() + " to disk: " + std::strerror(errno);
        if (fd >= 0)
            close(fd);
        return false;
    }
    close(fd);
    return true;
}
#endif

}  // namespace morvane::settings
