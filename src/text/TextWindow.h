// A headless model of a rich text window: text with one character format per
// character, a caret, a selection and the format that the next insert uses.
// The receive and monitor windows are built on it so that every writer's
// label and colour rules can run and be tested without a window system; a GUI
// mirrors the model's text and runs.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace morvane::text {

// The character formats of the text windows: default black, sent-text blue
// RGB(0,0,255), unsendable/warning red RGB(255,50,50), time-stamp green
// RGB(0,130,50). The coloured ones are shown in all capitals.
enum class TextFormat { Default, TxTiming, Unsendable, Time };

// A stretch of characters sharing one format; positions in characters.
struct FormatRun {
    std::size_t Start = 0;
    std::size_t Length = 0;
    TextFormat Format = TextFormat::Default;
    bool operator==(const FormatRun&) const = default;
};

// A stretch of characters sharing one decoding confidence (0..1). Text that
// no decoder rated (labels, sent text, the standard decoder's characters)
// counts as certain, 1.
struct ConfidenceRun {
    std::size_t Start = 0;
    std::size_t Length = 0;
    float Confidence = 1.0f;
    bool operator==(const ConfidenceRun&) const = default;
};

class TextWindow {
  public:
    // The whole text, UTF-8.
    std::string Text() const;
    // Length in characters (code points); "\r\n" counts as two.
    std::size_t Length() const { return characters_.size(); }
    // Text of characters [start, start + count), clipped to the end.
    std::string Slice(std::size_t start, std::size_t count) const;
    std::vector<FormatRun> Runs() const;
    TextFormat FormatAt(std::size_t position) const { return formats_.at(position); }

    TextFormat CurrentFormat() const { return currentFormat_; }
    void SetCurrentFormat(TextFormat format) { currentFormat_ = format; }

    // Confidence of each character, kept beside its format.
    std::vector<ConfidenceRun> ConfidenceRuns() const;
    float ConfidenceAt(std::size_t position) const { return confidences_.at(position); }
    // The confidence the next insert carries (clamped to 0..1).
    float CurrentConfidence() const { return currentConfidence_; }
    void SetCurrentConfidence(float confidence);

    std::size_t Caret() const { return caret_; }
    // Places the caret (clipped to the text) and drops the selection.
    void SetCaret(std::size_t position);
    void MoveCaretToEnd() { SetCaret(Length()); }
    // True when the line holding the caret has no characters before the caret.
    bool CaretLineEmpty() const;

    // Selects [start, end) (clipped, order-free); the caret goes to the end of it.
    void Select(std::size_t start, std::size_t end);
    std::size_t SelectionStart() const { return selectionStart_; }
    std::size_t SelectionEnd() const { return selectionEnd_; }
    std::string SelectedText() const;

    // Replaces the selection (or inserts at the caret) with UTF-8 text in the
    // current format and confidence; the caret ends after the inserted text.
    void Insert(std::string_view text);
    // Empty text, caret at 0, current format kept.
    void Clear();

  private:
    std::u32string characters_;
    std::vector<TextFormat> formats_;
    TextFormat currentFormat_ = TextFormat::Default;
    std::vector<float> confidences_;
    float currentConfidence_ = 1.0f;
    std::size_t caret_ = 0;
    std::size_t selectionStart_ = 0;
    std::size_t selectionEnd_ = 0;
};

}  // namespace morvane::text
