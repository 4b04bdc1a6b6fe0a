// morvane-ctestwin-sim: a stand-in for the CTestWin contest logger on the
// local window transport. It registers the window class "Ctestwin" with
// child controls enumerated in this order: fourteen "Edit" controls (one of
// them inside a "ComboBox") among "Static" labels and look-alike classes,
// then the "Button" controls Enter, Save and Clear. Save stores a record.
// Every request is printed on standard output, one line each.
//
//   morvane-ctestwin-sim
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/logger/WindowHost.h"

namespace {

using morvane::platform::local::HostedChild;

struct Control {
    std::string ClassName;
    std::string Name;
    std::string Text;
};

// Enumeration order, depth first. Edits are numbered by their place among
// the edits; the logger relies on 0 (sent), 1 (received), 13 (call) and on
// the buttons Enter, Save, Clear right after the fourteen edits.
std::vector<Control> Layout() {
    return {
        {"Edit", "Sent", ""},        {"Static", "SentLabel", ""}, {"Edit", "Rcvd", ""},
        {"Static", "RcvdLabel", ""}, {"Edit", "Date", ""},        {"Edit", "Time", ""},
        {"ComboBox", "Band", ""},    {"Edit", "BandText", ""},  // the combo box's own edit
        {"Edit", "Mode", ""},        {"EditBox", "Memo", ""},   // not exactly "Edit"
        {"Edit", "Power", ""},       {"Edit", "Mult", ""},        {"Edit", "Points", ""},
        {"edit", "Lower", ""},  // case matters
        {"Edit", "Op", ""},          {"Edit", "Name", ""},        {"Edit", "Qth", ""},
        {"Edit", "Note", ""},        {"Button", "Enter", ""},     {"Edit", "Call", ""},
        {"Button", "Save", ""},      {"Button", "Clear", ""},     {"Button", "Quit", ""},
    };
}

class CtestwinSim final : public morvane::platform::local::WindowRequestHandler {
  public:
    void OnCopyData(const morvane::platform::local::CopyDataRequest& request,
                    morvane::platform::local::CopyDataReply&) override {
        Print("recv cmd=0x%X len=%zu", request.Command, request.Bytes.size());
    }

    std::vector<HostedChild> Children() override {
        std::vector<HostedChild> children;
        for (std::size_t i = 0; i < controls_.size(); ++i) {
            children.push_back(
                HostedChild{static_cast<std::uint32_t>(i + 1), controls_[i].ClassName});
        }
        return children;
    }

    bool OnSetText(std::uint32_t id, std::string_view text) override {
        Control* control = Find(id);
        if (!control)
            return false;
        control->Text = std::string(text);
        Print("settext %s=%s", control->Name.c_str(), control->Text.c_str());
        return true;
    }

    bool OnClick(std::uint32_t id) override {
        Control* control = Find(id);
        if (!control || control->ClassName != "Button")
            return false;
        Print("click %s", control->Name.c_str());
        if (control->Name == "Save") {
            ++saved_;
            Print("saved call=%s sent=%s rcvd=%s (record %d)", Text("Call").c_str(),
                  Text("Sent").c_str(), Text("Rcvd").c_str(), saved_);
        }
        if (control->Name == "Save" || control->Name == "Clear") {
            Clear("Call");
            Clear("Rcvd");
        }
        return true;
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

    Control* Find(std::uint32_t id) {
        return (id >= 1 && id <= controls_.size()) ? &controls_[id - 1] : nullptr;
    }
    std::string Text(const std::string& name) const {
        for (const Control& control : controls_) {
            if (control.Name == name)
                return control.Text;
        }
        return {};
    }
    void Clear(const std::string& name) {
        for (Control& control : controls_) {
            if (control.Name == name)
                control.Text.clear();
        }
    }

    std::vector<Control> controls_ = Layout();
    int saved_ = 0;
};

}  // namespace

int main(int argc, char**) {
    if (argc > 1) {
        std::fprintf(stderr, "usage: morvane-ctestwin-sim\n");
        return 2;
    }
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    CtestwinSim sim;
    morvane::platform::local::WindowHost host("Ctestwin", sim);
    std::string error;
    if (!host.Start(&error)) {
        std::fprintf(stderr, "morvane-ctestwin-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("ready Ctestwin\n");
    std::fflush(stdout);
    int received = 0;
    sigwait(&signals, &received);
    host.Stop();
    return 0;
}
