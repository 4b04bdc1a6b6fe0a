// The station's view as lines of text: one event per line, for the headless
// program and the tests. Line breaks inside a text are written as "\n" so
// that every event stays on one line; labels, captions and focus are not
// reported (a console has none).
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "station/StationView.h"

namespace morvane::station {

// "HisCall", "MyTemp", ...; empty for an unknown field.
std::string_view FieldName(StationField field);
// The field of a name, case as given; false when there is none.
bool FieldByName(std::string_view name, StationField& field);

class ConsoleView : public StationView {
  public:
    // `line` receives each event line without its end of line.
    explicit ConsoleView(std::function<void(const std::string&)> line) : line_(std::move(line)) {}

    void ShowMessage(std::string_view text, MessageIcon) override { Emit("msg", text); }
    void Beep() override {}
    void FocusTxEdit() override {}
    void FocusHisCall() override {}
    void SetTitle(std::string_view) override {}
    void SetClockText(std::string_view) override {}
    void SetPortCaption(std::string_view) override {}
    void SetTransmitSpeedLabel(std::string_view) override {}
    void ShowMacroLabel(int, const macros::LabelView&) override {}
    void SetMacroLabelEnabled(int, bool) override {}
    void ShowSendNr(std::string_view) override {}
    void SetQsoGroupCaptions(std::string_view, std::string_view) override {}
    void ShowContestFields(bool) override {}
    void SetLinkButtons(bool, bool) override {}
    void ApplyOptionEffects(const settings::OptionEffects&) override {}
    void FieldChanged(StationField field, std::string_view value) override;
    void LookupLine(std::string_view line) override;
    void LinkChanged(LoggerLink link, bool up) override;
    void ReceiveTextChanged(std::string_view appended, bool cleared) override;
    void MonitorTextChanged(std::string_view, bool) override {}
    void CharactersKeyed(std::string_view text) override { Emit("tx", text); }
    void TransmitTextChanged(std::string_view) override {}

    void Emit(std::string_view kind, std::string_view text);

  private:
    std::function<void(const std::string&)> line_;
};

}  // namespace morvane::station
