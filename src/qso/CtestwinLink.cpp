#include "qso/CtestwinLink.h"

namespace morvane::qso {

void CtestwinLink::Append(platform::WindowHandle ctestwin, std::string_view className) {
    for (const platform::ChildWindow& child : windows_.EnumDescendants(ctestwin)) {
        if (child.ClassName == className)
            ChildHandles.push_back(child.Handle);
    }
}

void CtestwinLink::CollectEdits(platform::WindowHandle ctestwin) {
    ChildHandles.clear();
    Append(ctestwin, "Edit");
}

void CtestwinLink::AppendButtons(platform::WindowHandle ctestwin) {
    Append(ctestwin, "Button");
}

bool CtestwinLink::SetItemText(std::size_t index, std::string_view text) {
    if (index >= ChildHandles.size())
        return false;
    return windows_.SetControlText(ChildHandles[index], text);
}

bool CtestwinLink::PressItem(std::size_t index) {
    if (index >= ChildHandles.size())
        return false;
    return windows_.ClickButton(ChildHandles[index]);
}

}  // namespace morvane::qso
