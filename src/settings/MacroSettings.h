// The macro controller as the target of applying settings: entries 1 to 90,
// 115, 122, 124 and 125 go to it without being stored again.
#pragma once

#include "macros/MacroController.h"
#include "settings/ApplyTargets.h"

namespace morvane::settings {

class MacroControllerSettings final : public MacroSettingsTarget {
  public:
    explicit MacroControllerSettings(macros::MacroController& macros) : m_(macros) {}
    void SetContestMode(bool on) override { m_.SetContestMode(on); }
    bool ContestMode() const override { return m_.ContestMode(); }
    void SetAutoCqText(std::string_view text) override { m_.SetAutoCqText(text); }
    void SetMacroText(int macro, std::string_view text) override { m_.SetMacroText(macro, text); }
    void SetContestTemplate(int which, std::string_view text) override {
        m_.SetContestTemplate(which, text);
    }
    void SetMacroCaption(int macro, std::string_view caption) override {
        m_.SetMacroCaption(macro, caption);
    }
    void SetMacroColour(int macro, int colour) override { m_.SetMacroColour(macro, colour); }
    void SetAutoCqTimes(std::string_view times) override { m_.SetAutoCqTimes(times); }
    void SetContestNumber(std::string_view text) override { m_.SetContestNumber(text); }
    void RefreshSendNr() override { m_.RefreshSendNr(); }

  private:
    macros::MacroController& m_;
};

}  // namespace morvane::settings
