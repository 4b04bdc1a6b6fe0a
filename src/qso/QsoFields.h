// The fields of the contact in progress and the rules that run when they gain
// or lose the keyboard focus or change: taking a selection from the receive
// window, the "5NN" reset, and stopping Auto CQ once a call sign is typed.
// The form shows these texts; this class holds them and their rules.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace morvane::qso {

// The four fields that take a waiting selection and keep a copy on focus loss.
enum class QsoField { HisCall = 0, HisName, HisQth, RcvdNr };

// What the fields need from the rest of the form.
class QsoFieldEvents {
  public:
    virtual ~QsoFieldEvents() = default;
    virtual bool AutoCqRunning() const = 0;
    virtual void StopAutoCq() = 0;
    virtual void EmptyClipboard() = 0;
};

// The word around `caretChar` (a character index into the UTF-8 `text`): from
// after the last blank before the caret, never before character 4 (the end of
// the "RX> " prompt), to before the first blank at or after it; at most the
// last 15 characters of it.
std::string WordAtCaret(std::string_view text, std::size_t caretChar);

// The small two-digit field on focus loss: one character gets a leading "0".
std::string TwoDigitFieldText(std::string_view text);

class QsoFields {
  public:
    explicit QsoFields(QsoFieldEvents& events) : events_(events) {}

    const std::string& Text(QsoField field) const { return texts_[Index(field)]; }
    // A change of a field's text from any source; HisCall runs its change rules.
    void SetText(QsoField field, std::string text);

    const std::string& HisCall() const { return Text(QsoField::HisCall); }
    const std::string& HisName() const { return Text(QsoField::HisName); }
    const std::string& HisQTH() const { return Text(QsoField::HisQth); }
    const std::string& RcvdNR() const { return Text(QsoField::RcvdNr); }

    std::string HisRST = "5NN";
    std::string MyRST = "5NN";
    std::string ContestNumber;  // the digits-only field beside "No."
    bool Rst5nnReset = false;   // the "5NN" option of the RST group

    std::string MyTempText;
    std::string HisTempText;
    std::string MyWeatherText;
    std::string HisWeatherText;
    bool ShowHisTemp = false;

    std::string SelectionBuffer;
    std::string SelectionBufferCopy;
    std::string ClickedWord;
    std::string InputTarget;  // "Call", "Name", "QTH", "R_NR", "Temp", "TX", "Rich"
    bool FieldHasFocus = false;

    // The receive window lost the focus. With a selection it waits in the
    // buffers (blanks removed when `spaceDel`), otherwise the word at the caret
    // becomes `ClickedWord`.
    void OnReceiveWindowFocusLost(std::string_view receiveText, std::size_t caretChar,
                                  std::string_view selection, bool spaceDel);

    // F4: the call sign nearest the end of the receive window goes into
    // HisCall (the field is left alone when there is none); Auto CQ stops.
    void OnCaptureKey(std::string_view receiveText);

    void OnFocusGained(QsoField field);
    void OnFocusLost(QsoField field);
    bool HasFocus(QsoField field) const { return focus_[Index(field)]; }
    // The text the field held when it last lost the focus.
    const std::string& SavedCopy(QsoField field) const { return saved_[Index(field)]; }
    void ClearSavedCopies();

    // Temperature field: the text to show on focus, and edits stored back.
    const std::string& OnTemperatureFocusGained();
    void OnTemperatureEdited(std::string text);

  private:
    static std::size_t Index(QsoField field) { return static_cast<std::size_t>(field); }
    void OnHisCallChanged();

    QsoFieldEvents& events_;
    std::array<std::string, 4> texts_;
    std::array<std::string, 4> saved_;
    std::array<bool, 4> focus_{};
};

}  // namespace morvane::qso
