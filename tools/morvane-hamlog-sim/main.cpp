// morvane-hamlog-sim: a stand-in for the HamLog logging program on the local
// window transport, enough to try the links without the real program. It
// registers the window class "TThwin", accepts every copy-data command, keeps
// a current record and a list of saved records, and answers the requests
// 101 (call field), 103 (settings), 111 (name) and the Ctrl+F1 to F4 ones.
// Every message is printed on standard output, one line each. With
// --hang-on it stops answering for good when that command arrives, as a hung
// HamLog would.
//
//   morvane-hamlog-sim [--utc] [--selection-screen] [--hang-on CMD]
//                      [--station CALL,NAME,QTH]...
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/logger/IconvCodePage.h"
#include "platform/logger/WindowHost.h"

namespace {

using morvane::platform::local::CopyDataReply;
using morvane::platform::local::CopyDataRequest;

struct Station {
    std::string Name;
    std::string Qth;
};

class HamlogSim final : public morvane::platform::local::WindowRequestHandler {
  public:
    bool Utc = false;
    bool SelectionScreen = false;  // fields cannot be written while it shows
    std::optional<std::uint32_t> HangOn;
    std::map<std::string, Station> Stations;

    // Lets a hung handler return so that the program can end.
    void Quit() {
        {
            std::lock_guard lock(mutex_);
            quitting_ = true;
        }
        quit_.notify_all();
    }

    void OnCopyData(const CopyDataRequest& request, CopyDataReply& reply) override {
        const std::string text = codePage_.Decode(request.Bytes);
        const bool terminated = !request.Bytes.empty() && request.Bytes.back() == 0;
        Print("recv cmd=0x%X len=%zu text=%s%s", request.Command, request.Bytes.size(),
              text.c_str(), terminated ? "\\0" : "");
        if (HangOn == request.Command) {
            Print("hung");
            std::unique_lock lock(mutex_);
            quit_.wait(lock, [this] { return quitting_; });
            return;
        }
        switch (request.Command) {
            case 1:
            case 0x30001:
                if (!SelectionScreen)
                    call_ = text;
                break;
            case 16:
                if (!SelectionScreen)
                    record_.clear();
                break;
            case 101:
            case 0x400065:
            case 0x6C:
                Reply(reply, request.Command, call_);
                break;
            case 103:
                Reply(reply, request.Command, Utc ? "SETUPU" : "SETUPJ");
                break;
            case 111:  // also Ctrl+F2 (0x6F)
                Reply(reply, request.Command, Known(call_).Name);
                break;
            case 0x70:
                Reply(reply, request.Command, Known(call_).Qth);
                break;
            case 0x80012:
                Save();
                break;
            default:
                if (!SelectionScreen)
                    record_[request.Command] = text;
                break;
        }
    }

    void OnBringToFront(std::uint32_t) override { Print("front"); }
    void OnRejected(std::string_view why) override {
        Print("rejected %.*s", static_cast<int>(why.size()), why.data());
    }

  private:
    template <typename... Args>
    void Print(const char* format, Args... args) {
        std::printf(format, args...);
        std::printf("\n");
        std::fflush(stdout);
    }

    Station Known(const std::string& call) const {
        auto found = Stations.find(call);
        return found == Stations.end() ? Station{} : found->second;
    }

    void Reply(CopyDataReply& reply, std::uint32_t command, const std::string& text) {
        const auto bytes = codePage_.Encode(text, 120);
        const bool ok = reply.Send(command, bytes);
        Print("reply cmd=0x%X text=%s%s", command, text.c_str(), ok ? "" : " (not taken)");
    }

    void Save() {
        std::string line = "saved call=" + call_;
        for (const auto& [command, value] : record_) {
            line += " " + std::to_string(command) + "=" + value;
        }
        saved_.push_back(line);
        Print("%s (record %zu)", line.c_str(), saved_.size());
        record_.clear();
        call_.clear();
    }

    morvane::platform::IconvCodePage codePage_;
    std::mutex mutex_;
    std::condition_variable quit_;
    bool quitting_ = false;
    std::string call_;
    std::map<std::uint32_t, std::string> record_;
    std::vector<std::string> saved_;
};

}  // namespace

int main(int argc, char** argv) {
    HamlogSim sim;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--utc") {
            sim.Utc = true;
        } else if (arg == "--selection-screen") {
            sim.SelectionScreen = true;
        } else if (arg == "--hang-on" && i + 1 < argc) {
            sim.HangOn = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 0));
        } else if (arg == "--station" && i + 1 < argc) {
            const std::string station = argv[++i];
            const auto first = station.find(',');
            const auto second = station.find(',', first == std::string::npos ? first : first + 1);
            if (first == std::string::npos) {
                std::fprintf(stderr, "morvane-hamlog-sim: --station CALL,NAME,QTH\n");
                return 2;
            }
            sim.Stations[station.substr(0, first)] = {
                station.substr(first + 1, second == std::string::npos ? std::string::npos
                                                                      : second - first - 1),
                second == std::string::npos ? "" : station.substr(second + 1)};
        } else {
            std::fprintf(stderr,
                         "usage: morvane-hamlog-sim [--utc] [--selection-screen] "
                         "[--hang-on CMD] [--station CALL,NAME,QTH]...\n");
            return 2;
        }
    }
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);  // the host thread inherits the mask

    morvane::platform::local::WindowHost host("TThwin", sim);
    std::string error;
    if (!host.Start(&error)) {
        std::fprintf(stderr, "morvane-hamlog-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("ready TThwin%s%s\n", sim.Utc ? " utc" : "",
                sim.SelectionScreen ? " selection-screen" : "");
    std::fflush(stdout);
    int received = 0;
    sigwait(&signals, &received);
    sim.Quit();
    host.Stop();
    return 0;
}
