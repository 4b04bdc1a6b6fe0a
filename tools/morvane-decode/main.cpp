// morvane-decode: decodes CW recordings (or the demo contact) through the same
// receive path as the program and prints the text, one line per input; or
// decodes a sound card live.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <iostream>
#include <string>

#include "DecodeOptions.h"
#include "LiveCapture.h"
#include "platform/audio/DemoSource.h"
#include "platform/audio/FileSource.h"
#include "receive/ReceivePath.h"

namespace {

using namespace morvane;

// Line breaks of the window become blanks unless the caller keeps them; runs
// of blanks collapse, ends are trimmed.
std::string OneLine(const std::string& text, bool keepLines) {
    std::string out;
    for (char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n' && keepLines) {
            while (!out.empty() && out.back() == ' ')
                out.pop_back();
            out += '\n';
            continue;
        }
        if (c == '\n' || c == '\t')
            c = ' ';
        if (c == ' ' && (out.empty() || out.back() == ' ' || out.back() == '\n'))
            continue;
        out += c;
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == '\n'))
        out.pop_back();
    return out;
}

// The text as decoded, and under each character its confidence as one digit
// (0 for under 10 %, 9 for 90 % or more).
void PrintConfidence(const receive::ReceivePath& path) {
    std::string text, digits;
    for (const auto& piece : path.ConfidenceLog()) {
        if (piece.Text == " " && (text.empty() || text.back() == ' '))
            continue;
        text += piece.Text;
        const int digit = std::clamp(static_cast<int>(piece.Confidence * 10.0f), 0, 9);
        for (std::size_t i = 0; i < piece.Text.size(); ++i)
            if ((static_cast<unsigned char>(piece.Text[i]) & 0xC0) != 0x80)
                digits += piece.Text == " " ? ' ' : static_cast<char>('0' + digit);
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
        digits.pop_back();
    }
    std::cout << text << "\n" << digits << "\n";
}

class Progress {
  public:
    Progress(std::int64_t totalFrames, const std::string& name)
        : total_(totalFrames),
          name_(name),
          shown_(isatty(STDERR_FILENO) && totalFrames > 30 * receive::kCaptureRateHz) {}
    ~Progress() {
        if (shown_)
            std::fprintf(stderr, "\r%*s\r", 72, "");
    }
    void Update(std::int64_t frames) {
        if (!shown_)
            return;
        const int percent = static_cast<int>(100 * frames / total_);
        if (percent == last_)
            return;
        last_ = percent;
        const int width = 40;
        std::string bar(width * percent / 100, '#');
        bar.resize(width, '.');
        std::fprintf(stderr, "\r%.20s [%s] %3d%%", name_.c_str(), bar.c_str(), percent);
    }

  private:
    std::int64_t total_;
    std::string name_;
    bool shown_;
    int last_ = -1;
};

void Run(platform::audio::AudioSource& source, receive::ReceivePath& path, int channel,
         Progress* progress) {
    std::array<std::int16_t, receive::kHalfSamples> half{};
    std::int64_t frames = 0;
    while (source.WaitHalf(half) == receive::ReadStatus::Block) {
        path.OnBlock(half, channel);
        frames += receive::kHalfFrames;
        if (progress)
            progress->Update(frames);
    }
    path.Flush();
}

// Real-time demo: the text is printed as the decoder writes it, so the
// operator watches the contact come in.
void RunLive(platform::audio::AudioSource& source, receive::ReceivePath& path, int channel) {
    std::array<std::int16_t, receive::kHalfSamples> half{};
    std::size_t printed = 0;
    while (source.WaitHalf(half) == receive::ReadStatus::Block) {
        path.OnBlock(half, channel);
        const std::string text = path.ReceivedText();
        if (text.size() <= printed)
            continue;
        for (char c : std::string_view(text).substr(printed))
            if (c != '\r')
                std::cout << c;
        std::cout.flush();
        printed = text.size();
    }
    path.Flush();
    std::cout << std::string_view(path.ReceivedText()).substr(printed) << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto parsed = tools::ParseDecodeOptions(args);
    if (parsed.Help) {
        std::cout << tools::DecodeUsage();
        return 0;
    }
    if (parsed.Error) {
        std::cerr << "morvane-decode: " << *parsed.Error << "\n";
        std::cerr << "try morvane-decode --help\n";
        return 2;
    }
    const auto& options = parsed.Options;
    if (options.ListDevices)
        return tools::ListCaptureDevices();
    if (options.Device)
        return tools::CaptureLive(*options.Device, options.Receive);
    int status = 0;
    if (options.DemoSeconds) {
        platform::audio::DemoSource demo(
            {.Paced = options.Live, .LengthS = *options.DemoSeconds, .Seed = 1});
        demo.Open(std::nullopt);
        receive::ReceivePath path(options.Receive);
        if (options.Live) {
            RunLive(demo, path, options.Receive.Channel);
            return 0;
        }
        Progress progress(static_cast<std::int64_t>(*options.DemoSeconds * receive::kCaptureRateHz),
                          "demo");
        Run(demo, path, options.Receive.Channel, &progress);
        if (options.Confidence)
            PrintConfidence(path);
        else
            std::cout << OneLine(path.ReceivedText(), options.KeepLines) << "\n";
    }
    for (const auto& file : options.Files) {
        platform::audio::FileSource source(file);
        if (auto message = source.Open(std::nullopt)) {
            std::cout.flush();
            std::cerr << "morvane-decode: " << *message << "\n";
            status = 2;
            continue;
        }
        receive::ReceivePath path(options.Receive);
        Progress progress(source.OutputFrames(), file);
        Run(source, path, options.Receive.Channel, &progress);
        if (options.Confidence)
            PrintConfidence(path);
        else
            std::cout << OneLine(path.ReceivedText(), options.KeepLines) << "\n";
        std::cout.flush();
    }
    return status;
}
