#include "receive/CaptureDevices.h"

#include <gtest/gtest.h>

namespace morvane::receive {
namespace {

TEST(CaptureDevices, TwentyIdentifiedDevicesAndTheDefaultAlways) {
    // Identified devices 0..24 with the default reported fourth and, in a
    // second listing, after the table is full.
    for (std::size_t defaultAt : {3u, 23u}) {
        std::vector<CaptureDevice> enumerated;
        for (int i = 0; i < 25; ++i)
            enumerated.push_back({"Mic " + std::to_string(i), "hw:" + std::to_string(i)});
        enumerated.insert(enumerated.begin() + static_cast<long>(defaultAt), {"Default", ""});

        const auto combo = ComboDevices(enumerated);
        ASSERT_EQ(combo.size(), 21u) << defaultAt;
        std::size_t mic = 0;
        for (std::size_t i = 0; i < combo.size(); ++i) {
            if (combo[i].Id.empty()) {
                EXPECT_EQ(combo[i].Name, "Default");
                EXPECT_EQ(i, std::min<std::size_t>(defaultAt, 20));
                continue;
            }
            EXPECT_EQ(combo[i].Id, "hw:" + std::to_string(mic++)) << "in order, first 20 only";
        }
        EXPECT_EQ(mic, 20u);
    }
    // Fewer than 20: all of them.
    EXPECT_EQ(ComboDevices({{"A", "a"}, {"B", "b"}}).size(), 2u);
}

}  // namespace
}  // namespace morvane::receive
