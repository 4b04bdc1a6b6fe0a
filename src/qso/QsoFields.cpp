#include "qso/QsoFields.h"

#include "qso/LogFormats.h"

#include <algorithm>
#include <vector>

#include "common/Utf8.h"
#include "qso/CallSign.h"

namespace morvane::qso {
namespace {

constexpr std::array<const char*, 4> kInputTargets = {"Call", "Name", "QTH", "R_NR"};

}  // namespace

std::string WordAtCaret(std::string_view text, std::size_t caretChar) {
    constexpr std::size_t kPromptEnd = 4;
    constexpr std::size_t kMaxWord = 15;
    const std::vector<std::string_view> chars = common::SplitUtf8(text);
    const std::size_t caret = std::min(caretChar, chars.size());
    std::size_t begin = caret;
    while (begin > 0 && chars[begin - 1] != " ")
        --begin;
    begin = std::max(begin, kPromptEnd);
    std::size_t end = caret;
    while (end < chars.size() && chars[end] != " ")
        ++end;
    if (begin >= end)
        return {};
    if (end - begin > kMaxWord)
        begin = end - kMaxWord;
    std::string word;
    for (std::size_t i = begin; i < end; ++i)
        word += chars[i];
    return word;
}

std::string TwoDigitFieldText(std::string_view text) {
    if (common::Utf8Length(text) == 1)
        return "0" + std::string(text);
    return std::string(text);
}

void QsoFields::SetText(QsoField field, std::string text) {
    texts_[Index(field)] = std::move(text);
    if (field == QsoField::HisCall)
        OnHisCallChanged();
}

void QsoFields::OnHisCallChanged() {
    if (Rst5nnReset) {
        // Only plain three-character reports; "599 5NN" and the like stay.
        if (common::Utf8Length(HisRST) == 3)
            HisRST = "5NN";
        if (common::Utf8Length(MyRST) == 3)
            MyRST = "5NN";
    }
    if (events_.AutoCqRunning() && !HisCall().empty())
        events_.StopAutoCq();
}

void QsoFields::OnReceiveWindowFocusLost(std::string_view receiveText, std::size_t caretChar,
                                         std::string_view selection, bool spaceDel) {
    if (!selection.empty()) {
        SelectionBuffer = spaceDel ? WithoutBlanks(selection) : std::string(selection);
        SelectionBufferCopy = SelectionBuffer;
        events_.EmptyClipboard();
        return;
    }
    ClickedWord = WordAtCaret(receiveText, caretChar);
}

void QsoFields::OnCaptureKey(std::string_view receiveText) {
    if (auto call = CaptureCallSign(receiveText))
        SetText(QsoField::HisCall, *call);
    if (events_.AutoCqRunning())
        events_.StopAutoCq();
}

void QsoFields::OnFocusGained(QsoField field) {
    if (!SelectionBuffer.empty()) {
        SetText(field, SelectionBuffer);
        SelectionBuffer.clear();
        SelectionBufferCopy.clear();
        events_.EmptyClipboard();
    } else if (field == QsoField::HisCall && !ClickedWord.empty()) {
        // A clicked call sign is only forgotten; the field keeps its text.
        if (ParseCallSign(ClickedWord))
            ClickedWord.clear();
    }
    focus_[Index(field)] = true;
    FieldHasFocus = true;
    InputTarget = kInputTargets[Index(field)];
}

void QsoFields::OnFocusLost(QsoField field) {
    focus_[Index(field)] = false;
    FieldHasFocus = false;
    saved_[Index(field)] = Text(field);
}

void QsoFields::ClearSavedCopies() {
    for (std::string& copy : saved_)
        copy.clear();
}

const std::string& QsoFields::OnTemperatureFocusGained() {
    InputTarget = "Temp";
    return ShowHisTemp ? HisTempText : MyTempText;
}

void QsoFields::OnTemperatureEdited(std::string text) {
    (ShowHisTemp ? HisTempText : MyTempText) = std::move(text);
}

}  // namespace morvane::qso
