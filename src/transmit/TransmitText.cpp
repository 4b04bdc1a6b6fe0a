#include "transmit/TransmitText.h"

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
