#include "platform/audio/PortAudioSource.h"

#include <gtest/gtest.h>

#include <thread>

#include "ForeignLeaks.h"

namespace morvane::platform::audio {
namespace {

TEST(PortAudioSource, UnknownDeviceGivesTheDeviceErrorAndInterruptWakes) {
    [[maybe_unused]] const testing::ForeignLeaksIgnored ignoreForeignLeaks;
    PortAudioSource source;
    const auto message = source.Open(std::string("no such capture device 1234"));
    ASSERT_TRUE(message.has_value());
    // Either PortAudio did not start at all, or the device is not there.
    EXPECT_TRUE(*message == kSoundDeviceError || *message == kSoundInitFailed) << *message;
    EXPECT_EQ(std::string(kSoundDeviceError),
              "サウンドデバイスのエラー!!!\r\nMike/Line/USB入力をチェック願います。");

    std::array<std::int16_t, receive::kHalfSamples> half{};
    std::jthread waker([&source] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        source.Interrupt();
    });
    EXPECT_EQ(source.WaitHalf(half), receive::ReadStatus::Interrupted);
}

}  // namespace
}  // namespace morvane::platform::audio
