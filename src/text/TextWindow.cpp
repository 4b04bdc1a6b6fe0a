#include "text/TextWindow.h"

#include <algorithm>

#include "common/Utf8.h"

namespace morvane::text {

std::string TextWindow::Text() const {
    return Slice(0, characters_.size());
}

std::string TextWindow::Slice(std::size_t start, std::size_t count) const {
    std::string out;
    std::size_t end = std::min(characters_.size(), start + std::min(count, characters_.size()));
    for (std::size_t i = start; i < end; ++i)
        out += common::EncodeUtf8(characters_[i]);
    return out;
}

std::vector<FormatRun> TextWindow::Runs() const {
    std::vector<FormatRun> runs;
    for (std::size_t i = 0; i < formats_.size(); ++i) {
        if (runs.empty() || runs.back().Format != formats_[i])
            runs.push_back({.Start = i, .Length = 0, .Format = formats_[i]});
        ++runs.back().Length;
    }
    return runs;
}

std::vector<ConfidenceRun> TextWindow::ConfidenceRuns() const {
    std::vector<ConfidenceRun> runs;
    for (std::size_t i = 0; i < confidences_.size(); ++i) {
        if (runs.empty() || runs.back().Confidence != confidences_[i])
            runs.push_back({.Start = i, .Length = 0, .Confidence = confidences_[i]});
        ++runs.back().Length;
    }
    return runs;
}

void TextWindow::SetCurrentConfidence(float confidence) {
    // NaN from a broken estimate shows as certain rather than poisoning runs.
    currentConfidence_ = confidence >= 0.0f  ? std::min(confidence, 1.0f)
                         : confidence < 0.0f ? 0.0f
                                             : 1.0f;
}

void TextWindow::SetCaret(std::size_t position) {
    caret_ = std::min(position, characters_.size());
    selectionStart_ = selectionEnd_ = caret_;
}

bool TextWindow::CaretLineEmpty() const {
    if (caret_ == 0)
        return true;
    char32_t before = characters_[caret_ - 1];
    return before == U'\r' || before == U'\n';
}

void TextWindow::Select(std::size_t start, std::size_t end) {
    start = std::min(start, characters_.size());
    end = std::min(end, characters_.size());
    if (start > end)
        std::swap(start, end);
    selectionStart_ = start;
    selectionEnd_ = end;
    caret_ = end;
}

std::string TextWindow::SelectedText() const {
    return Slice(selectionStart_, selectionEnd_ - selectionStart_);
}

void TextWindow::Insert(std::string_view text) {
    std::u32string inserted;
    for (std::string_view character : common::SplitUtf8(text))
        inserted += common::DecodeUtf8(character);
    characters_.replace(selectionStart_, selectionEnd_ - selectionStart_, inserted);
    formats_.erase(formats_.begin() + static_cast<std::ptrdiff_t>(selectionStart_),
                   formats_.begin() + static_cast<std::ptrdiff_t>(selectionEnd_));
    formats_.insert(formats_.begin() + static_cast<std::ptrdiff_t>(selectionStart_),
                    inserted.size(), currentFormat_);
    confidences_.erase(confidences_.begin() + static_cast<std::ptrdiff_t>(selectionStart_),
                       confidences_.begin() + static_cast<std::ptrdiff_t>(selectionEnd_));
    confidences_.insert(confidences_.begin() + static_cast<std::ptrdiff_t>(selectionStart_),
                        inserted.size(), currentConfidence_);
    SetCaret(selectionStart_ + inserted.size());
}

void TextWindow::Clear() {
    characters_.clear();
    formats_.clear();
    confidences_.clear();
    SetCaret(0);
}

}  // namespace morvane::text
