// The transmit window's text and the position of the next character to send.
// The user-interface thread types, cuts and clears; the keying thread reads a
// snapshot every step and moves the position. A clear bumps the generation
// so that a step already under way cannot move the position of the new text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace morvane::transmit {

inline constexpr std::string_view kTransmitPrefix = "TX> ";
inline constexpr std::size_t kTransmitPrefixLength = 4;  // characters

// What an operator's edit of the window did to the text.
enum class TransmitEdit {
    Unchanged,
    Taken,    // only inserted text
    Cut,      // some unsent text removed (Backspace, Delete, typed over)
    Refused,  // it touched what was already sent: the text is kept as it was
};

struct TransmitSnapshot {
    std::string Text;          // UTF-8, begins with "TX> "
    std::size_t Position = 0;  // `TxPosition`, in characters
    std::uint64_t Generation = 0;
};

class TransmitText {
  public:
    TransmitText() : text_(kTransmitPrefix) {}

    TransmitSnapshot Snapshot() const;
    // Moves `TxPosition`; ignored when the text was cleared since `generation`.
    void SetPosition(std::uint64_t generation, std::size_t position);

    // Typing and macros: UTF-8 appended at the end.
    void Append(std::string_view text);
    // Replaces the whole window text (e.g. after an edit); keeps the position.
    void Replace(std::string_view text);
    // The whole window text after the operator edited it. Only the unsent
    // part may change: what was sent, "TX> " included, stays as keyed, so
    // the position keeps pointing at the same next character.
    TransmitEdit Edit(std::string_view edited);
    // Empties the window back to "TX> " with the position at 4.
    void Clear();

    std::string Text() const;
    std::size_t Position() const;
    // Characters not yet sent (text length minus position, at least 0).
    std::size_t PendingCharacters() const;

  private:
    mutable std::mutex mutex_;
    std::string text_;
    std::size_t position_ = kTransmitPrefixLength;
    std::uint64_t generation_ = 0;
};

}  // namespace morvane::transmit
