// What the logging links need from the form and its controls. The form
// implements it; tests record the calls.
#pragma once

#include <string>
#include <string_view>

namespace morvane::qso {

enum class MessageIcon { None, Exclamation };

class LinkView {
  public:
    virtual ~LinkView() = default;
    virtual void ShowMessageBox(std::string_view text, MessageIcon icon) = 0;
    // A warning at the end of the receive window on a new line, in red (255, 50, 50).
    virtual void AppendWarningLine(std::string_view text) = 0;
    virtual void Beep() = 0;
    virtual void SetSaveEnabled(bool enabled) = 0;
    virtual void SetTimeButtonEnabled(bool enabled) = 0;
    virtual void FocusTxEdit() = 0;
};

// The macro expansion of the contest templates, for each logging program.
class LogTemplateExpander {
  public:
    virtual ~LogTemplateExpander() = default;
    // Expanded as `ExpandLogTags` does with `HamlogExpansion` set.
    virtual std::string ExpandForHamlog(std::string_view templateText) = 0;
    // Expanded as `ExpandMacroTags` does with `CtestwinExpansion` set.
    virtual std::string ExpandForCtestwin(std::string_view templateText) = 0;
};

}  // namespace morvane::qso
