// The Linux stand-in for window messages between programs of one user: each
// registered window class is a Unix-domain socket in a private directory
// ($XDG_RUNTIME_DIR/morvane-windows, else /tmp/morvane-windows-<uid>, mode
// 0700). A request is one connection: a hello frame naming the sender's
// class, one request frame, then frames back until "done". While handling a
// copy-data request the target may send copy-data frames back over the same
// connection; the sender handles each and answers "done", so a reply reaches
// the sender before its own send returns, as with SendMessage on Windows.
// Every wait is bounded; oversize or malformed frames end the connection, and
// peers running as another user are refused.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace morvane::platform::local {

enum class FrameType : std::uint32_t {
    Hello = 1,     // payload: the sender's window class (may be empty)
    CopyData = 2,  // u32 command, then the bytes
    Done = 3,      // u32 status (0 ok), then a result payload
    Enum = 4,      // list the descendants; Done carries (u32 id, u8 length, class)*
    SetText = 5,   // u32 control id, then UTF-8 text
    Click = 6,     // u32 control id
    Front = 7,     // u32 control id (0: the window itself)
    Ping = 8,      // answered by Done: the window is alive
};

// Copy-data is at most a few hundred bytes; anything far larger is garbage.
inline constexpr std::uint32_t kMaxFramePayload = 16 * 1024;

struct Frame {
    FrameType Type = FrameType::Done;
    std::vector<std::uint8_t> Payload;
};

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value);
// Reads a u32 at `offset`; nullopt past the end.
std::optional<std::uint32_t> GetU32(std::span<const std::uint8_t> in, std::size_t offset);

struct TransportOptions {
    std::chrono::milliseconds Timeout{2000};  // longest wait for any answer
    uid_t PeerUid;                            // the only user allowed to talk to us
    TransportOptions();
};

// The private directory for the window sockets, created when missing. Gives
// an empty path (and `error`, naming the directory to remove) when it exists
// as anything but a directory of this user that only this user can enter: in
// /tmp another user could have made it first, or put a link there.
std::string WindowDirectory(std::string* error);

// Class names become file names: letters, digits, "_" and "-" only.
bool ValidClassName(std::string_view className);

// One connected socket that exchanges frames against a deadline.
class FrameSocket {
  public:
    FrameSocket() = default;
    explicit FrameSocket(int fd) : fd_(fd) {}
    FrameSocket(FrameSocket&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FrameSocket& operator=(FrameSocket&& other) noexcept;
    FrameSocket(const FrameSocket&) = delete;
    FrameSocket& operator=(const FrameSocket&) = delete;
    ~FrameSocket();

    // Connects to the socket of `className` in `directory`; a peer that
    // stops reading holds up a connect or write until `deadline` at most.
    static std::optional<FrameSocket> Connect(const std::string& directory,
                                              std::string_view className,
                                              std::chrono::steady_clock::time_point deadline);

    bool Valid() const { return fd_ >= 0; }
    // The peer's user id from the kernel.
    std::optional<uid_t> PeerUid() const;
    bool Write(FrameType type, std::span<const std::uint8_t> payload);
    // The next frame, or nullopt on timeout, close, or a malformed frame.
    std::optional<Frame> Read(std::chrono::steady_clock::time_point deadline);

  private:
    bool ReadExact(std::uint8_t* data, std::size_t size,
                   std::chrono::steady_clock::time_point deadline);
    int fd_ = -1;
};

}  // namespace morvane::platform::local
