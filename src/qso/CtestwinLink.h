// CTestWin is driven through its controls: the edits and buttons found by
// enumerating its window, addressed only by their place in that order.
// Used on the thread that owns the links; every call ends by its deadline.
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

    using Deadline = platform::Deadline;

    // CTestWin's window, or 0 when it is not running.
    platform::WindowHandle FindCtestwin(Deadline deadline) {
        return windows_.FindWindowByClass(kCtestwinClass, deadline);
    }

    // Empties the list and adds every descendant of class exactly "Edit".
    void CollectEdits(platform::WindowHandle ctestwin, Deadline deadline);
    // Appends every descendant of class exactly "Button" after what is there.
    void AppendButtons(platform::WindowHandle ctestwin, Deadline deadline);

    // Item `index` of the list; false when the list is shorter or the
    // control did not take it in time.
    bool SetItemText(std::size_t index, std::string_view text, Deadline deadline);
    bool PressItem(std::size_t index, Deadline deadline);

    // The child-handle list, in the order the items are addressed.
    std::vector<platform::WindowHandle> ChildHandles;

  private:
    void Append(platform::WindowHandle ctestwin, std::string_view className, Deadline deadline);

    platform::LoggerWindows& windows_;
};

}  // namespace morvane::qso
