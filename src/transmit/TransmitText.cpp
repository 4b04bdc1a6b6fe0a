#include "transmit/TransmitText.h"

#include <algorithm>
#include <vector>

#include "common/Utf8.h"

namespace morvane::transmit {

TransmitSnapshot TransmitText::Snapshot() const {
    std::lock_guard lock(mutex_);
    return {text_, position_, generation_};
}

void TransmitText::SetPosition(std::uint64_t generation, std::size_t position) {
    std::lock_guard lock(mutex_);
    if (generation == generation_)
        position_ = position;
}

void TransmitText::Append(std::string_view text) {
    std::lock_guard lock(mutex_);
    text_ += text;
}

void TransmitText::Replace(std::string_view text) {
    std::lock_guard lock(mutex_);
    text_ = text;
}

namespace {

// The text as a plain-text window shows it: each line break ("\r\n" or a
// lone "\r") is one "\n" there. `Source` maps every shown byte, and the end,
// to its byte in the text.
struct ShownText {
    std::string Text;
    std::vector<std::size_t> Source;
};

ShownText AsShown(std::string_view text) {
    ShownText shown;
    shown.Text.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        shown.Source.push_back(i);
        if (text[i] == '\r') {
            shown.Text += '\n';
            i += i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
        } else {
            shown.Text += text[i++];
        }
    }
    shown.Source.push_back(text.size());
    return shown;
}

}  // namespace

TransmitEdit TransmitText::Edit(std::string_view edited) {
    std::lock_guard lock(mutex_);
    const ShownText shown = AsShown(text_);
    if (edited == shown.Text)
        return TransmitEdit::Unchanged;
    const std::size_t sentBytes = common::Utf8Prefix(text_, position_).size();
    const auto sentShown = static_cast<std::size_t>(
        std::lower_bound(shown.Source.begin(), shown.Source.end(), sentBytes) -
        shown.Source.begin());
    if (edited.size() < sentShown || edited.substr(0, sentShown) != shown.Text.substr(0, sentShown))
        return TransmitEdit::Refused;
    // One edit is one run of removed characters replaced by inserted ones:
    // whatever lies between the common head and the common tail. Line breaks
    // outside it keep the form they had.
    const std::string& before = shown.Text;
    const std::size_t shorter = std::min(edited.size(), before.size());
    std::size_t head = sentShown;
    while (head < shorter && edited[head] == before[head])
        ++head;
    std::size_t tail = 0;
    while (tail < shorter - head &&
           edited[edited.size() - 1 - tail] == before[before.size() - 1 - tail])
        ++tail;
    const bool removed = before.size() - head - tail > 0;
    const std::size_t tailStart = shown.Source[before.size() - tail];
    text_ = text_.substr(0, shown.Source[head]) +
            std::string(edited.substr(head, edited.size() - head - tail)) + text_.substr(tailStart);
    return removed ? TransmitEdit::Cut : TransmitEdit::Taken;
}

void TransmitText::Clear() {
    std::lock_guard lock(mutex_);
    text_ = kTransmitPrefix;
    position_ = kTransmitPrefixLength;
    ++generation_;
}

std::string TransmitText::Text() const {
    std::lock_guard lock(mutex_);
    return text_;
}

std::size_t TransmitText::Position() const {
    std::lock_guard lock(mutex_);
    return position_;
}

std::size_t TransmitText::PendingCharacters() const {
    std::lock_guard lock(mutex_);
    std::size_t length = common::Utf8Length(text_);
    return length > position_ ? length - position_ : 0;
}

}  // namespace morvane::transmit
