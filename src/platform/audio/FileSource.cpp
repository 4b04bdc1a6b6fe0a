#include "platform/audio/FileSource.h"

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>

namespace morvane::platform::audio {

namespace {
constexpr std::size_t kReadFrames = 4096;
}

struct FileSource::Handles {
    SNDFILE* File = nullptr;
    SRC_STATE* Converter = nullptr;
    ~Handles() {
        if (Converter)
            src_delete(Converter);
        if (File)
            sf_close(File);
    }
};

FileSource::FileSource(std::string path) : path_(std::move(path)) {}

FileSource::~FileSource() = default;

std::vector<AudioDevice> FileSource::ListDevices() {
    return {{path_, path_}};
}

std::optional<std::string> FileSource::Open(const std::optional<std::string>&) {
    Stop();
    auto handles = std::make_unique<Handles>();
    SF_INFO info{};
    handles->File = sf_open(path_.c_str(), SFM_READ, &info);
    if (!handles->File)
        return path_ + ": cannot read audio: " + sf_strerror(nullptr);
    if (info.frames <= 0 || info.channels <= 0)
        return path_ + ": no audio in the file";
    resampled_ = info.samplerate != receive::kCaptureRateHz;
    if (resampled_) {
        int error = 0;
        handles->Converter = src_new(SRC_SINC_MEDIUM_QUALITY, 2, &error);
        if (!handles->Converter)
            return path_ + ": resampler: " + src_strerror(error);
    }
    fileRateHz_ = info.samplerate;
    fileChannels_ = info.channels;
    fileFrames_ = info.frames;
    handles_ = std::move(handles);
    input_.clear();
    inputUsed_ = 0;
    output_.clear();
    outputUsed_ = 0;
    fileEnded_ = converterDone_ = false;
    interrupted_ = false;
    delivered_ = 0;
    return std::nullopt;
}

void FileSource::Stop() {
    handles_.reset();
}

std::int64_t FileSource::OutputFrames() const {
    if (fileRateHz_ <= 0)
        return 0;
    return static_cast<std::int64_t>(
        std::llround(static_cast<double>(fileFrames_) * receive::kCaptureRateHz / fileRateHz_));
}

// Reads one chunk from the file (as stereo) and runs it through the converter.
bool FileSource::Refill() {
    if (converterDone_ || !handles_)
        return false;
    if (inputUsed_ >= input_.size() / 2 && !fileEnded_) {
        std::vector<float> raw(kReadFrames * fileChannels_);
        const sf_count_t got = sf_readf_float(handles_->File, raw.data(), kReadFrames);
        if (got <= 0)
            fileEnded_ = true;
        input_.resize(static_cast<std::size_t>(std::max<sf_count_t>(got, 0)) * 2);
        for (sf_count_t f = 0; f < got; ++f) {
            const float left = raw[f * fileChannels_];
            input_[2 * f] = left;
            input_[2 * f + 1] = fileChannels_ > 1 ? raw[f * fileChannels_ + 1] : left;
        }
        inputUsed_ = 0;
    }
    output_.erase(output_.begin(), output_.begin() + 2 * outputUsed_);
    outputUsed_ = 0;
    const std::size_t old = output_.size();
    const double ratio = static_cast<double>(receive::kCaptureRateHz) / fileRateHz_;
    const std::size_t room = static_cast<std::size_t>(kReadFrames * ratio) + 64;
    output_.resize(old + 2 * room);
    SRC_DATA data{};
    data.data_in = input_.data() + 2 * inputUsed_;
    data.input_frames = static_cast<long>(input_.size() / 2 - inputUsed_);
    data.data_out = output_.data() + old;
    data.output_frames = static_cast<long>(room);
    data.end_of_input = fileEnded_ ? 1 : 0;
    data.src_ratio = ratio;
    if (src_process(handles_->Converter, &data) != 0) {
        converterDone_ = true;
        output_.resize(old);
        return false;
    }
    inputUsed_ += static_cast<std::size_t>(data.input_frames_used);
    output_.resize(old + 2 * static_cast<std::size_t>(data.output_frames_gen));
    if (fileEnded_ && data.output_frames_gen == 0 && inputUsed_ >= input_.size() / 2)
        converterDone_ = true;
    return true;
}

receive::ReadStatus FileSource::WaitHalf(std::span<std::int16_t, receive::kHalfSamples> frames) {
    if (interrupted_.exchange(false))
        return receive::ReadStatus::Interrupted;
    if (!handles_)
        return receive::ReadStatus::End;
    // The resampler may add a few frames at the end; the file's length at
    // 11025 Hz is what is delivered.
    const std::int64_t total = OutputFrames();
    if (delivered_ >= total)
        return receive::ReadStatus::End;
    if (!resampled_)
        return ReadDirect(frames);
    while (output_.size() / 2 - outputUsed_ < receive::kHalfFrames && Refill()) {
    }
    const std::size_t available = output_.size() / 2 - outputUsed_;
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::int64_t>(receive::kHalfFrames, total - delivered_));
    const std::size_t take = std::min(available, wanted);
    if (take == 0)
        return receive::ReadStatus::End;
    for (std::size_t i = 0; i < receive::kHalfSamples; ++i) {
        const float value = i < 2 * take ? output_[2 * outputUsed_ + i] : 0.0f;
        frames[i] = static_cast<std::int16_t>(
            std::lround(std::clamp(value * 32768.0f, -32768.0f, 32767.0f)));
    }
    outputUsed_ += take;
    delivered_ += static_cast<std::int64_t>(take);
    return receive::ReadStatus::Block;
}

// The file's own 16-bit samples, untouched.
receive::ReadStatus FileSource::ReadDirect(std::span<std::int16_t, receive::kHalfSamples> frames) {
    std::vector<short> raw(receive::kHalfFrames * static_cast<std::size_t>(fileChannels_));
    const sf_count_t got = sf_readf_short(handles_->File, raw.data(), receive::kHalfFrames);
    if (got <= 0)
        return receive::ReadStatus::End;
    const auto take = static_cast<std::size_t>(got);
    for (std::size_t f = 0; f < receive::kHalfFrames; ++f) {
        const std::size_t at = f * static_cast<std::size_t>(fileChannels_);
        const short left = f < take ? raw[at] : 0;
        frames[2 * f] = left;
        frames[2 * f + 1] = f >= take ? 0 : fileChannels_ > 1 ? raw[at + 1] : left;
    }
    delivered_ += static_cast<std::int64_t>(take);
    return receive::ReadStatus::Block;
}

void FileSource::Interrupt() {
    interrupted_ = true;
}

}  // namespace morvane::platform::audio
