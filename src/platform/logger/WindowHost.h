// Registers a window class on the local transport and serves the requests
// other programs send to it, one at a time on its own thread, as a window's
// message loop would. Used by the logging-program stand-ins, and by this
// program to receive copy-data sent to its own window.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/logger/LocalWindowTransport.h"

namespace morvane::platform::local {

struct CopyDataRequest {
    std::string SenderClass;
    std::uint32_t Command = 0;
    std::vector<std::uint8_t> Bytes;
};

// Sends copy-data back to the window that made the request; the sender has
// handled it when Send returns true.
class CopyDataReply {
  public:
    virtual ~CopyDataReply() = default;
    virtual bool Send(std::uint32_t command, std::span<const std::uint8_t> bytes) = 0;
};

struct HostedChild {
    std::uint32_t Id = 0;  // 1 and up; 0 is the window itself
    std::string ClassName;
};

// Called on the host's thread.
class WindowRequestHandler {
  public:
    virtual ~WindowRequestHandler() = default;
    virtual void OnCopyData(const CopyDataRequest& request, CopyDataReply& reply) = 0;
    virtual std::vector<HostedChild> Children() { return {}; }
    virtual bool OnSetText(std::uint32_t /*control*/, std::string_view /*text*/) { return false; }
    virtual bool OnClick(std::uint32_t /*control*/) { return false; }
    virtual void OnBringToFront(std::uint32_t /*control*/) {}
    // A connection was dropped: bad frame, wrong user, or no request in time.
    virtual void OnRejected(std::string_view /*why*/) {}
};

class WindowHost {
  public:
    WindowHost(std::string className, WindowRequestHandler& handler,
               TransportOptions options = TransportOptions());
    ~WindowHost();
    WindowHost(const WindowHost&) = delete;
    WindowHost& operator=(const WindowHost&) = delete;

    // Binds the class's socket and starts serving. False (with `error`) when
    // the directory is unsafe or a live window already has the class.
    bool Start(std::string* error);
    void Stop();

  private:
    void Serve(std::stop_token stop);
    void HandleConnection(FrameSocket& socket);
    void HandleRequest(FrameSocket& socket, const std::string& senderClass, const Frame& request);

    std::string className_;
    WindowRequestHandler& handler_;
    TransportOptions options_;
    std::string path_;
    int listenFd_ = -1;
    std::jthread thread_;
};

}  // namespace morvane::platform::local
