#include "platform/audio/FileSource.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <vector>

namespace morvane::platform::audio {
namespace {

namespace fs = std::filesystem;

struct TestFile {
    fs::path Path;
    ~TestFile() { fs::remove(Path); }
};

// Writes `seconds` of a tone: 700 Hz at half scale on the first channel,
// 1100 Hz at quarter scale on the second.
void WriteTones(const fs::path& path, int format, int rate, int channels, double seconds) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    const auto frames = static_cast<std::size_t>(seconds * rate);
    std::vector<float> data(frames * channels);
    for (std::size_t f = 0; f < frames; ++f) {
        const double t = static_cast<double>(f) / rate;
        data[f * channels] = static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * 700 * t));
        if (channels > 1)
            data[f * channels + 1] =
                static_cast<float>(0.25 * std::sin(2 * std::numbers::pi * 1100 * t));
    }
    ASSERT_EQ(sf_writef_float(file, data.data(), static_cast<sf_count_t>(frames)),
              static_cast<sf_count_t>(frames));
    sf_close(file);
}

std::vector<std::int16_t> ReadAll(FileSource& source) {
    std::vector<std::int16_t> all;
    std::array<std::int16_t, receive::kHalfSamples> half{};
    while (source.WaitHalf(half) == receive::ReadStatus::Block)
        all.insert(all.end(), half.begin(), half.end());
    return all;
}

// Frequency from upward zero crossings of one channel over a steady stretch.
double MeasureHz(const std::vector<std::int16_t>& stereo, int channel, std::size_t from,
                 std::size_t to) {
    int first = -1, last = -1, crossings = 0;
    for (std::size_t f = from + 1; f < to; ++f) {
        if (stereo[2 * (f - 1) + channel] < 0 && stereo[2 * f + channel] >= 0) {
            if (first < 0)
                first = static_cast<int>(f);
            last = static_cast<int>(f);
            ++crossings;
        }
    }
    return (crossings - 1) * 11025.0 / (last - first);
}

double Peak(const std::vector<std::int16_t>& stereo, int channel, std::size_t from,
            std::size_t to) {
    double peak = 0;
    for (std::size_t f = from; f < to; ++f)
        peak = std::max(peak, std::abs(double(stereo[2 * f + channel])));
    return peak;
}

TEST(FileSource, ConvertsRatesAndChannelsTo11025Stereo) {
    struct Case {
        int Format;
        const char* Ext;
        int Rate;
        int Channels;
    };
    const Case cases[] = {{SF_FORMAT_WAV | SF_FORMAT_PCM_16, "wav", 8000, 1},
                          {SF_FORMAT_WAV | SF_FORMAT_PCM_16, "wav", 44100, 2},
                          {SF_FORMAT_FLAC | SF_FORMAT_PCM_16, "flac", 8000, 2},
                          {SF_FORMAT_FLAC | SF_FORMAT_PCM_16, "flac", 44100, 1},
                          {SF_FORMAT_WAV | SF_FORMAT_PCM_16, "wav", 11025, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Ext) + " " + std::to_string(c.Rate) + " Hz, " +
                     std::to_string(c.Channels) + " ch");
        TestFile file{fs::temp_directory_path() / ("morvane_fs_" + std::to_string(c.Rate) + "_" +
                                                   std::to_string(c.Channels) + "." + c.Ext)};
        WriteTones(file.Path, c.Format, c.Rate, c.Channels, 3.0);
        FileSource source(file.Path.string());
        ASSERT_EQ(source.Open(std::nullopt), std::nullopt);
        EXPECT_EQ(source.FileRateHz(), c.Rate);
        const auto audio = ReadAll(source);
        // 3 s at 11025 Hz, padded up to whole halves.
        EXPECT_EQ(source.FramesDelivered(), 33075);
        EXPECT_EQ(audio.size(), 2 * 33 * receive::kHalfFrames);
        EXPECT_NEAR(MeasureHz(audio, 0, 2000, 30000), 700.0, 1.0);
        EXPECT_NEAR(Peak(audio, 0, 2000, 30000), 16384, 400);
        if (c.Channels == 1) {
            for (std::size_t f = 0; f < 33075; ++f)
                ASSERT_EQ(audio[2 * f], audio[2 * f + 1]) << f;
        } else {
            EXPECT_NEAR(MeasureHz(audio, 1, 2000, 30000), 1100.0, 1.5);
            EXPECT_NEAR(Peak(audio, 1, 2000, 30000), 8192, 300);
        }
        // Padding after the end is silence.
        for (std::size_t i = 2 * 33075; i < audio.size(); ++i)
            ASSERT_EQ(audio[i], 0);
    }
}

TEST(FileSource, ReportsMissingEmptyAndUnreadableFiles) {
    FileSource missing("/nonexistent/morvane.wav");
    auto message = missing.Open(std::nullopt);
    ASSERT_TRUE(message.has_value());
    EXPECT_NE(message->find("/nonexistent/morvane.wav"), std::string::npos);
    std::array<std::int16_t, receive::kHalfSamples> half{};
    EXPECT_EQ(missing.WaitHalf(half), receive::ReadStatus::End);

    TestFile empty{fs::temp_directory_path() / "morvane_fs_empty.wav"};
    WriteTones(empty.Path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 11025, 2, 0.0);
    FileSource emptySource(empty.Path.string());
    message = emptySource.Open(std::nullopt);
    ASSERT_TRUE(message.has_value());
    EXPECT_NE(message->find("no audio"), std::string::npos);

    TestFile text{fs::temp_directory_path() / "morvane_fs_text.wav"};
    {
        std::FILE* f = std::fopen(text.Path.c_str(), "w");
        std::fputs("this is not audio at all, just some words\n", f);
        std::fclose(f);
    }
    FileSource textSource(text.Path.string());
    message = textSource.Open(std::nullopt);
    ASSERT_TRUE(message.has_value());
    EXPECT_NE(message->find("morvane_fs_text.wav"), std::string::npos);
}

TEST(FileSource, InterruptReturnsOnceThenReadingContinues) {
    TestFile file{fs::temp_directory_path() / "morvane_fs_interrupt.wav"};
    WriteTones(file.Path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 11025, 1, 0.5);
    FileSource source(file.Path.string());
    ASSERT_EQ(source.Open(std::nullopt), std::nullopt);
    std::array<std::int16_t, receive::kHalfSamples> half{};
    source.Interrupt();
    EXPECT_EQ(source.WaitHalf(half), receive::ReadStatus::Interrupted);
    EXPECT_EQ(source.WaitHalf(half), receive::ReadStatus::Block);
    EXPECT_EQ(source.FramesDelivered(), 1024);
}

}  // namespace
}  // namespace morvane::platform::audio
