// CTestWin is driven through its controls: the edits and buttons found by
// enumerating its window, addressed only by their place in that order.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "qso/LoggerWindows.h"

namespace morvane::qso {

inline constexpr std::string_view kCtestwinClass = "Ctestwin";

class CtestwinLink {
  public:
    explicit CtestwinLink(platform::LoggerWindows& windows) : windows_(windows) {}

    // CTestWin's window, or 0 when it is not running.
    platform::WindowHandle FindCtestwin() { return windows_.FindWindowByClass(kCtestwinClass); }

    // Empties the list and adds every descendant of class exactly "Edit".
    void CollectEdits(platform::WindowHandle ctestwin);
    // Appends every descendant of class exactly "Button" after what is there.
    void AppendButtons(platform::WindowHandle ctestwin);

    // Item `index` of the list; false when the list is shorter.
    bool SetItemText(std::size_t index, std::string_view text);
    bool PressItem(std::size_t index);

    // The child-handle list, in the order the items are addressed.
    std::vector<platform::WindowHandle> ChildHandles;

  private:
    void Append(platform::WindowHandle ctestwin, std::string_view className);

    platform::LoggerWindows& windows_;
};

}  // namespace morvane::qso
