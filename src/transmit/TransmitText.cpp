#include "transmit/TransmitText.h"

#include <algorithm>

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

TransmitEdit TransmitText::Edit(std::string_view edited) {
    std::lock_guard lock(mutex_);
    if (edited == text_)
        return TransmitEdit::Unchanged;
    const std::size_t sentBytes = common::Utf8Prefix(text_, position_).size();
    if (edited.size() < sentBytes || edited.substr(0, sentBytes) != text_.substr(0, sentBytes))
        return TransmitEdit::Refused;
    // One edit is one run of removed characters replaced by inserted ones:
    // whatever lies between the common head and the common tail.
    const std::size_t shorter = std::min(edited.size(), text_.size());
    std::size_t head = sentBytes;
    while (head < shorter && edited[head] == text_[head])
        ++head;
    std::size_t tail = 0;
    while (tail < shorter - head &&
           edited[edited.size() - 1 - tail] == text_[text_.size() - 1 - tail])
        ++tail;
    const bool removed = text_.size() - head - tail > 0;
    text_ = edited;
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
