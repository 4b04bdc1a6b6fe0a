// The macro store; see MacroStore.h.
#include "macros/MacroStore.h"

namespace morvane::macros {

Rgb PaletteColour(int index) {
    return index >= 0 && index < static_cast<int>(kMacroPalette.size()) ? kMacroPalette[index]
                                                                        : kMacroPalette[0];
}

MacroStore::MacroStore() {
    for (int k = 1; k <= kMacroCount; ++k) {
        MacroCaption[k] = "macro" + std::to_string(k);
    }
}

LabelRole MacroStore::RoleOf(int label) const {
    if (ContestMode && !MacroShift) {
        switch (label) {
            case 13:
                return LabelRole::SendNr;
            case 14:
                return LabelRole::Remarks1;
            case 15:
                return LabelRole::Remarks2;
            default:
                break;
        }
    }
    return LabelRole::Macro;
}

LabelView MacroStore::ViewOf(int label) const {
    if (RoleOf(label) != LabelRole::Macro) {
        return {std::string(kContestCaptions[static_cast<std::size_t>(label - 13)]),
                kContestCaptionColour};
    }
    int k = MacroForLabel(label);
    return {MacroCaption[k], MacroColour[k]};
}

}  // namespace morvane::macros
