// Where the character decoder's text goes. On the capture thread the output
// is a QueuedReceiveOutput that posts commands to the receive window's owner.
#pragma once

#include <atomic>
#include <functional>
#include <string_view>

#include "text/WindowCommand.h"

namespace morvane::decode {

enum class RxLanguage { English, Japanese };

class ReceiveTextOutput {
  public:
    virtual ~ReceiveTextOutput() = default;
    virtual void AppendReceived(std::string_view text) = 0;
    // Text of a character its decoder rated (0..1); outputs that cannot show
    // a confidence take it as plain text.
    virtual void AppendRatedReceived(std::string_view text, float confidence) {
        (void)confidence;
        AppendReceived(text);
    }
    virtual void AppendWordSpace() = 0;
    // The decoder switched language on a bracket sign: the ENG/JPN buttons
    // should show it.
    virtual void LanguageSwitched(RxLanguage language) = 0;
};

// Posts decoded text to the receive window's owner; language switches go to
// an optional callback (which must itself be safe to call from the capture
// thread, for example by posting).
class QueuedReceiveOutput : public ReceiveTextOutput {
  public:
    explicit QueuedReceiveOutput(text::WindowCommandQueue& queue,
                                 std::function<void(RxLanguage)> onLanguage = {})
        : queue_(queue), onLanguage_(std::move(onLanguage)) {}

    void AppendReceived(std::string_view text) override {
        queue_.Push(morvane::text::command::AppendReceived{std::string(text), std::nullopt});
    }
    void AppendRatedReceived(std::string_view text, float confidence) override {
        queue_.Push(morvane::text::command::AppendReceived{std::string(text), confidence});
    }
    void AppendWordSpace() override { queue_.Push(morvane::text::command::AppendWordSpace{}); }
    void LanguageSwitched(RxLanguage language) override {
        if (onLanguage_)
            onLanguage_(language);
    }

  private:
    text::WindowCommandQueue& queue_;
    std::function<void(RxLanguage)> onLanguage_;
};

}  // namespace morvane::decode
