// The sender's own rhythm: running means of his dots and dashes, inner gaps,
// character spaces and word spaces (in dots, on a log scale, since timing
// errors grow with the length), and the borders between them at the
// geometric means of their neighbours. A hand sender's 2.5-dot dashes or
// words spaced by five dots are then read as he meant them; a keyer's
// rhythm gives borders of 1.7 and 4.6 dots. The spread of each kind is
// learned too (from the mean absolute deviation, which a stray run moves
// little), so a keyer's even timing gets narrow length priors and a hand
// sender keeps wide ones.
#pragma once

#include <array>

namespace morvane::receive::weak {

class SenderRhythm {
  public:
    SenderRhythm() { Reset(); }

    void Reset();
    // A clearly seen mark or space (after a mark), `dots` long at the
    // present speed. Spaces longer than twelve dots are pauses, not rhythm.
    void AddMark(double dots);
    void AddSpace(double dots);

    double DashBorder() const { return dashBorder_; }
    double CharacterBorder() const { return characterBorder_; }
    double WordBorder() const { return wordBorder_; }
    // Means in log dots: dot and dash; inner gap, character and word space.
    double MarkLogDots(int kind) const { return marks_[static_cast<std::size_t>(kind)]; }
    double SpaceLogDots(int kind) const { return spaces_[static_cast<std::size_t>(kind)]; }
    // Spreads of the same, as standard deviations of log dots.
    double MarkSpread(int kind) const { return markSpreads_[static_cast<std::size_t>(kind)]; }
    double SpaceSpread(int kind) const { return spaceSpreads_[static_cast<std::size_t>(kind)]; }

  private:
    void Borders();

    std::array<double, 2> marks_{};   // log dots: dot, dash
    std::array<double, 3> spaces_{};  // log dots: inner gap, character, word
    std::array<double, 2> markSpreads_{};
    std::array<double, 3> spaceSpreads_{};
    std::array<int, 2> markCounts_{};
    std::array<int, 3> spaceCounts_{};
    double dashBorder_ = 0.0;
    double characterBorder_ = 0.0;
    double wordBorder_ = 0.0;
};

}  // namespace morvane::receive::weak
