// Shared by the platform and tool suites: a private folder per test, a
// program run through the shell with its output captured, and the test's end
// of a pseudo-terminal pair.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace morvane::test {

// ALSA and JACK plugins, loaded and unloaded by PortAudio, keep a few small
// allocations for good; leak checking is paused while the sound system is
// opened and closed, so only our own leaks are reported.
struct ForeignLeaksIgnored {
#if defined(__SANITIZE_ADDRESS__)
    ForeignLeaksIgnored() {
        __lsan_disable();
    }
    ~ForeignLeaksIgnored() {
        __lsan_enable();
    }
    ForeignLeaksIgnored(const ForeignLeaksIgnored&) = delete;
    ForeignLeaksIgnored& operator=(const ForeignLeaksIgnored&) = delete;
#endif
};

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

inline std::string Slurp(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

struct TempFolder {
    fs::path Path;
    TempFolder() {
        char pattern[] = "/tmp/morvane_test.XXXXXX";
        Path = mkdtemp(pattern);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(Path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    fs::path operator/(const std::string& name) const { return Path / name; }
};

// Interleaved 16-bit samples as FLAC (by the name) or WAV; false on failure.
inline bool WriteSound(const fs::path& path, const std::vector<std::int16_t>& samples, int channels,
                       int rate = 11025) {
    SF_INFO info{
        .frames = 0,
        .samplerate = rate,
        .channels = channels,
        .format = (path.extension() == ".flac" ? SF_FORMAT_FLAC : SF_FORMAT_WAV) | SF_FORMAT_PCM_16,
        .sections = 0,
        .seekable = 0};
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        return false;
    const auto frames = static_cast<sf_count_t>(samples.size()) / channels;
    const bool written = sf_writef_short(file, samples.data(), frames) == frames;
    sf_close(file);
    return written;
}

struct ToolRun {
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

// Runs `program arguments` with `input` on standard input.
inline ToolRun RunTool(const TempFolder& folder, const std::string& program,
                       const std::string& arguments, const std::string& input = "") {
    std::ofstream(folder / "in.txt") << input;
    const std::string command = program + " " + arguments + " <" + (folder / "in.txt").string() +
                                " >" + (folder / "out.txt").string() + " 2>" +
                                (folder / "err.txt").string();
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(folder / "out.txt"),
            Slurp(folder / "err.txt")};
}

class PtyPair {
  public:
    PtyPair() {
        fd_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (fd_ >= 0 && grantpt(fd_) == 0 && unlockpt(fd_) == 0)
            slave_ = ptsname(fd_);
    }
    ~PtyPair() { Close(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;
    const std::string& Slave() const { return slave_; }
    void Close() {
        if (fd_ >= 0)
            close(fd_);
        fd_ = -1;
    }

    // What the slave side wrote within `ms`, stopping early at `enough` bytes;
    // `arrivals` gets the time each byte was read appended.
    std::string ReadFor(int ms, std::size_t enough = std::numeric_limits<std::size_t>::max(),
                        std::vector<Clock::time_point>* arrivals = nullptr) {
        std::string bytes;
        const std::size_t before = arrivals ? arrivals->size() : 0;
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        while (bytes.size() < enough && Clock::now() < end) {
            pollfd ready{fd_, POLLIN, 0};
            if (poll(&ready, 1, 1) <= 0)
                continue;
            char buffer[64];
            const ssize_t n = read(fd_, buffer, sizeof buffer);
            if (n <= 0)
                break;
            bytes.append(buffer, static_cast<std::size_t>(n));
            if (arrivals)
                arrivals->resize(before + bytes.size(), Clock::now());
        }
        return bytes;
    }

  private:
    int fd_ = -1;
    std::string slave_;
};

}  // namespace morvane::test
