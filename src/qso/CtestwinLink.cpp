#include "qso/CtestwinLink.h"

namespace morvane::qso {

void CtestwinLink::Append(platform::WindowHandle ctestwin, std::string_view className,
                          Deadline deadline) {
    for (const platform::ChildWindow& child : windows_.EnumDescendants(ctestwin, deadline)) {
        if (child.ClassName == className)
            ChildHandles.push_back(child.Handle);
    }
}

void CtestwinLink::CollectEdits(platform::WindowHandle ctestwin, Deadline deadline) {
    ChildHandles.clear();
    Append(ctestwin, "Edit", deadline);
}

void CtestwinLink::AppendButtons(platform::WindowHandle ctestwin, Deadline deadline) {
    Append(ctestwin, "Button", deadline);
}

bool CtestwinLink::SetItemText(std::size_t index, std::string_view text, Deadline deadline) {
    if (index >= ChildHandles.size())
        return false;
    return windows_.SetControlText(ChildHandles[index], text, deadline);
}

bool CtestwinLink::PressItem(std::size_t index, Deadline deadline) {
    if (index >= ChildHandles.size())
        return false;
    return windows_.ClickButton(ChildHandles[index], deadline);
}

}  // namespace morvane::qso
