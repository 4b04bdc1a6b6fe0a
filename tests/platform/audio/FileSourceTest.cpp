#include "platform/audio/FileSource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "../TestSupport.h"

namespace morvane::platform::audio {
namespace {

using Half = std::array<std::int16_t, receive::kHalfSamples>;

// `seconds` of 700 Hz at half scale on the first channel, 1100 Hz at quarter
// scale on the second.
void WriteTones(const test::fs::path& path, int rate, int channels, double seconds) {
    std::vector<std::int16_t> data(static_cast<std::size_t>(seconds * rate) * channels);
    for (std::size_t i = 0; i < data.size(); ++i) {
        const int c = static_cast<int>(i % channels);
        data[i] = static_cast<std::int16_t>(
            std::lround((c ? 8192 : 16384) * std::sin(2 * std::numbers::pi * (c ? 1100 : 700) *
                                                      static_cast<double>(i / channels) / rate)));
    }
    ASSERT_TRUE(test::WriteSound(path, data, channels, rate));
}

// Frequency from upward zero crossings, and peak, of one channel over a
// steady stretch.
std::pair<double, double> Tone(const std::vector<std::int16_t>& stereo, int channel) {
    int first = -1, last = -1, crossings = 0;
    double peak = 0;
    for (std::size_t f = 2001; f < 30000; ++f) {
        peak = std::max(peak, std::abs(double(stereo[2 * f + channel])));
        if (stereo[2 * (f - 1) + channel] < 0 && stereo[2 * f + channel] >= 0) {
            first = first < 0 ? static_cast<int>(f) : first;
            last = static_cast<int>(f);
            ++crossings;
        }
    }
    return {(crossings - 1) * 11025.0 / (last - first), peak};
}

TEST(FileSource, ConvertsRatesAndChannelsTo11025Stereo) {
    struct Case {
        const char* Ext;
        int Rate;
        int Channels;
    };
    const Case cases[] = {{".wav", 8000, 1},
                          {".wav", 44100, 2},
                          {".flac", 8000, 2},
                          {".flac", 44100, 1},
                          {".wav", 11025, 2}};
    test::TempFolder folder;
    for (const auto& c : cases) {
        const auto path =
            folder / (std::to_string(c.Rate) + "_" + std::to_string(c.Channels) + c.Ext);
        SCOPED_TRACE(path.filename().string());
        WriteTones(path, c.Rate, c.Channels, 3.0);
        FileSource source(path.string());
        ASSERT_EQ(source.Open(std::nullopt), std::nullopt);
        EXPECT_EQ(source.FileRateHz(), c.Rate);
        std::vector<std::int16_t> audio;
        for (Half half{}; source.WaitHalf(half) == receive::ReadStatus::Block;)
            audio.insert(audio.end(), half.begin(), half.end());
        // 3 s at 11025 Hz, padded up to whole halves.
        EXPECT_EQ(source.FramesDelivered(), 33075);
        ASSERT_EQ(audio.size(), 2 * 33 * receive::kHalfFrames);
        const auto [hz, peak] = Tone(audio, 0);
        EXPECT_NEAR(hz, 700.0, 1.0);
        EXPECT_NEAR(peak, 16384, 400);
        if (c.Channels == 1) {
            for (std::size_t f = 0; f < 33075; ++f)
                ASSERT_EQ(audio[2 * f], audio[2 * f + 1]) << f;
        } else {
            const auto [hz1, peak1] = Tone(audio, 1);
            EXPECT_NEAR(hz1, 1100.0, 1.5);
            EXPECT_NEAR(peak1, 8192, 300);
        }
        // Padding after the end is silence.
        for (std::size_t i = 2 * 33075; i < audio.size(); ++i)
            ASSERT_EQ(audio[i], 0);
    }
}

TEST(FileSource, FilesAtTheCaptureRateArriveSampleForSample) {
    // Full-band noise (it reaches past the resampler's low-pass) over a
    // tone, up to full scale, in files of one to three channels whose length
    // is not a whole number of halves.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> noise(-32768, 32767);
    test::TempFolder folder;
    for (auto [name, channels] : {std::pair{"mono.wav", 1}, {"stereo.flac", 2}, {"three.wav", 3}}) {
        SCOPED_TRACE(name);
        const std::size_t frames = 5 * receive::kHalfFrames + 321;
        std::vector<std::int16_t> written(frames * static_cast<std::size_t>(channels));
        for (auto& v : written)
            v = static_cast<std::int16_t>(noise(random));
        ASSERT_TRUE(test::WriteSound(folder / name, written, channels, 11025));

        FileSource source((folder / name).string());
        ASSERT_EQ(source.Open(std::nullopt), std::nullopt);
        std::vector<std::int16_t> read;
        for (Half half{}; source.WaitHalf(half) == receive::ReadStatus::Block;)
            read.insert(read.end(), half.begin(), half.end());
        ASSERT_EQ(read.size(), 6 * receive::kHalfSamples);
        EXPECT_EQ(source.FramesDelivered(), static_cast<std::int64_t>(frames));
        std::size_t differing = 0;
        for (std::size_t f = 0; f < 6 * receive::kHalfFrames; ++f) {
            const std::size_t at = f * static_cast<std::size_t>(channels);
            const std::int16_t left = f < frames ? written[at] : 0;
            const std::int16_t right = f >= frames ? 0 : channels > 1 ? written[at + 1] : left;
            differing += read[2 * f] != left;
            differing += read[2 * f + 1] != right;
        }
        EXPECT_EQ(differing, 0u) << "of " << read.size() << " samples";
    }
}

TEST(FileSource, ReportsMissingEmptyAndUnreadableFiles) {
    test::TempFolder folder;
    WriteTones(folder / "empty.wav", 11025, 2, 0.0);
    std::ofstream(folder / "text.wav") << "this is not audio at all, just some words\n";
    const std::pair<std::string, std::string> cases[] = {
        {"/nonexistent/morvane.wav", "/nonexistent/morvane.wav"},
        {(folder / "empty.wav").string(), "no audio"},
        {(folder / "text.wav").string(), "text.wav"}};
    for (const auto& [path, named] : cases) {
        FileSource source(path);
        const auto message = source.Open(std::nullopt);
        ASSERT_TRUE(message.has_value()) << path;
        EXPECT_NE(message->find(named), std::string::npos) << *message;
        Half half{};
        EXPECT_EQ(source.WaitHalf(half), receive::ReadStatus::End);
    }
}

TEST(FileSource, InterruptReturnsOnceThenReadingContinues) {
    test::TempFolder folder;
    WriteTones(folder / "tone.wav", 11025, 1, 0.5);
    FileSource source((folder / "tone.wav").string());
    ASSERT_EQ(source.Open(std::nullopt), std::nullopt);
    Half half{};
    source.Interrupt();
    EXPECT_EQ(source.WaitHalf(half), receive::ReadStatus::Interrupted);
    EXPECT_EQ(source.WaitHalf(half), receive::ReadStatus::Block);
    EXPECT_EQ(source.FramesDelivered(), 1024);
}

}  // namespace
}  // namespace morvane::platform::audio
