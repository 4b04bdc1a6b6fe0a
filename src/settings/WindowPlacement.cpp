// The frame's position in the profile; see WindowPlacement.h.
#include "settings/WindowPlacement.h"

namespace morvane::settings {

WindowPlacement ReadWindowPlacement(const ProfileStore& profile) {
    WindowPlacement placement;
    auto read = [&](std::string_view name, int& value) {
        if (std::optional<int> stored = profile.ReadInt(kPlacementSection, name)) {
            value = *stored;
        }
    };
    read("left", placement.Left);
    read("top", placement.Top);
    read("right", placement.Width);
    read("bottom", placement.Height);
    return placement;
}

void WriteWindowPlacement(ProfileStore& profile, int left, int top, int right, int bottom) {
    if (top <= 0 || bottom <= 0) {
        return;
    }
    profile.WriteInt(kPlacementSection, "left", left);
    profile.WriteInt(kPlacementSection, "top", top);
    profile.WriteInt(kPlacementSection, "right", right - left);
    profile.WriteInt(kPlacementSection, "bottom", bottom - top);
}

}  // namespace morvane::settings
