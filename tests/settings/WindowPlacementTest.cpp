// Frame position in the profile: defaults, width/height stored as "right" and
// "bottom", and no write for a frame whose top or bottom edge is not above 0.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "settings/WindowPlacement.h"

namespace morvane::settings {
namespace {

class MapProfile : public ProfileStore {
  public:
    std::optional<int> ReadInt(std::string_view section, std::string_view name) const override {
        auto it = values.find(std::string(section) + "/" + std::string(name));
        return it == values.end() ? std::nullopt : std::optional<int>(it->second);
    }
    void WriteInt(std::string_view section, std::string_view name, int value) override {
        values[std::string(section) + "/" + std::string(name)] = value;
    }
    std::map<std::string, int> values;
};

TEST(WindowPlacementTest, DefaultsStoredValuesAndTheWriteCondition) {
    MapProfile profile;
    EXPECT_EQ(ReadWindowPlacement(profile), (WindowPlacement{10, 10, 982, 896}));
    profile.values["MRVN_Section/top"] = 40;
    EXPECT_EQ(ReadWindowPlacement(profile), (WindowPlacement{10, 40, 982, 896}));

    WriteWindowPlacement(profile, 100, 50, 1100, 950);
    EXPECT_EQ(profile.values, (std::map<std::string, int>{{"MRVN_Section/left", 100},
                                                          {"MRVN_Section/top", 50},
                                                          {"MRVN_Section/right", 1000},
                                                          {"MRVN_Section/bottom", 900}}));
    EXPECT_EQ(ReadWindowPlacement(profile), (WindowPlacement{100, 50, 1000, 900}));

    MapProfile untouched;
    WriteWindowPlacement(untouched, 100, 0, 1100, 950);
    WriteWindowPlacement(untouched, 100, -32000, 1100, -31000);
    EXPECT_TRUE(untouched.values.empty());
}

}  // namespace
}  // namespace morvane::settings
