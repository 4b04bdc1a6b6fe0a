// Where the QSO code meets the macro expansion: the country lookup answers
// the "AUTO" greeting's question for the other station's local hour, and the
// contest templates for the loggers are expanded by the macro expander in
// the HamLog or CTestWin purpose.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "macros/MacroExpansion.h"
#include "qso/Clock.h"
#include "qso/LinkView.h"
#include "qso/QsoFields.h"

namespace morvane::qso {

class CountryGreetingHours final : public macros::GreetingHourSource {
  public:
    explicit CountryGreetingHours(const StationClock& clock) : clock_(clock) {}
    // 0 to 23 at the station of `hisCall`, 25 when unknown.
    int DxLocalHour(std::string_view hisCall) override;

  private:
    const StationClock& clock_;
};

// The contact's fields as the tags read them; the operator's own settings
// in `out` are left as they are.
void CopyQsoFields(const QsoFields& fields, macros::ExpansionFields& out);

class MacroTemplateExpander final : public LogTemplateExpander {
  public:
    // `currentFields` gives the values the tags read at the moment of expansion.
    using FieldsSource = std::function<macros::ExpansionFields()>;
    MacroTemplateExpander(macros::MacroExpander& expander, FieldsSource currentFields)
        : expander_(expander), currentFields_(std::move(currentFields)) {}

    std::string ExpandForHamlog(std::string_view templateText) override;
    std::string ExpandForCtestwin(std::string_view templateText) override;

  private:
    macros::MacroExpander& expander_;
    FieldsSource currentFields_;
};

}  // namespace morvane::qso
