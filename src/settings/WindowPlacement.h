// The frame's position in the user's profile: four integers under the
// "MRVN_Section" section of the "MRVN_Reg" key. "right" and "bottom" hold the
// width and height, not edges, which is what the values have always meant.
#pragma once

#include <optional>
#include <string_view>

namespace morvane::settings {

inline constexpr std::string_view kProfileKey = "MRVN_Reg";
inline constexpr std::string_view kPlacementSection = "MRVN_Section";

// Where the frame is created, in pixels.
struct WindowPlacement {
    int Left = 10;
    int Top = 10;
    int Width = 982;
    int Height = 896;
    bool operator==(const WindowPlacement&) const = default;
};

// The profile as the platform keeps it (registry, or a file elsewhere).
class ProfileStore {
  public:
    virtual ~ProfileStore() = default;
    virtual std::optional<int> ReadInt(std::string_view section, std::string_view name) const = 0;
    virtual void WriteInt(std::string_view section, std::string_view name, int value) = 0;
};

// Stored values, each falling back to its default when absent.
WindowPlacement ReadWindowPlacement(const ProfileStore& profile);

// At shutdown, from the frame's edges; nothing is written unless the top and
// bottom edges are both above 0 (a minimised or off-screen frame is not kept).
void WriteWindowPlacement(ProfileStore& profile, int left, int top, int right, int bottom);

}  // namespace morvane::settings
