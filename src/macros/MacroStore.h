// The thirty macros (text, caption, caption colour), the Auto CQ text at
// index 0, the contest templates, and which macro each of the fifteen labels
// shows for the bank and contest mode.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace morvane::macros {

inline constexpr int kMacroCount = 30;
inline constexpr int kLabelCount = 15;

struct Rgb {
    int R = 0, G = 0, B = 0;
    bool operator==(const Rgb&) const = default;
};

// Caption colours: black, blue, green, cyan, red, magenta.
inline constexpr std::array<Rgb, 6> kMacroPalette = {Rgb{0, 0, 0},   Rgb{0, 0, 255},
                                                     Rgb{0, 255, 0}, Rgb{0, 255, 255},
                                                     Rgb{255, 0, 0}, Rgb{255, 0, 255}};
inline constexpr int kContestCaptionColour = 4;  // red

// Palette entry; an index outside 0 to 5 draws black.
Rgb PaletteColour(int index);

// Fixed captions of labels 13 to 15 of bank 1 in contest mode.
inline constexpr std::array<std::string_view, 3> kContestCaptions = {"<SendNR>", "Remarks1",
                                                                     "Remarks2"};

struct LabelView {
    std::string Caption;
    int Colour = 0;
    bool operator==(const LabelView&) const = default;
};

// What a label does when clicked or right-clicked.
enum class LabelRole { Macro, SendNr, Remarks1, Remarks2 };

class MacroStore {
  public:
    MacroStore();

    // Index 0 is the Auto CQ text; 1 to 30 the macros.
    std::array<std::string, kMacroCount + 1> MacroText;
    std::array<std::string, kMacroCount + 1> MacroCaption;
    std::array<int, kMacroCount + 1> MacroColour{};
    std::string SendNrTemplate, Remarks1Template, Remarks2Template;
    bool MacroShift = false;  // false: bank 1 (macros 1-15), true: bank 2 (16-30)
    bool ContestMode = false;

    // Macro number (1 to 30) shown by label 1 to 15 in the current bank.
    int MacroForLabel(int label) const { return label + (MacroShift ? kLabelCount : 0); }
    LabelRole RoleOf(int label) const;
    LabelView ViewOf(int label) const;
};

}  // namespace morvane::macros
