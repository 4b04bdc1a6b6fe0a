#include "qso/MacroLinks.h"

#include "qso/CountryLookup.h"

namespace morvane::qso {

int CountryGreetingHours::DxLocalHour(std::string_view hisCall) {
    return GreetingLocalHour(hisCall, clock_.Now().Utc);
}

void CopyQsoFields(const QsoFields& fields, macros::ExpansionFields& out) {
    out.HisCall = fields.HisCall();
    out.HisName = fields.HisName();
    out.HisQTH = fields.HisQTH();
    out.RcvdNR = fields.RcvdNR();
    out.HisRST = fields.HisRST;
    out.MyRST = fields.MyRST;
    out.TestNR = fields.ContestNumber;
    out.MyTemp = fields.MyTempText;
    out.HisTemp = fields.HisTempText;
    out.MyWX = fields.MyWeatherText;
    out.HisWX = fields.HisWeatherText;
}

std::string MacroTemplateExpander::ExpandForHamlog(std::string_view templateText) {
    expander_.HamlogExpansion = true;
    expander_.WorkText = std::string(templateText);
    expander_.ExpandLogTags(currentFields_());
    expander_.HamlogExpansion = false;  // set only around the transfer's own call
    return expander_.WorkText;
}

std::string MacroTemplateExpander::ExpandForCtestwin(std::string_view templateText) {
    expander_.CtestwinExpansion = true;
    expander_.WorkText = std::string(templateText);
    expander_.ExpandMacroTags(currentFields_());
    expander_.CtestwinExpansion = false;
    return expander_.WorkText;
}

}  // namespace morvane::qso
