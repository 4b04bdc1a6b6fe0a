#include "platform/audio/PortAudioSource.h"

#include <portaudio.h>

#include <cstring>

namespace morvane::platform::audio {

namespace {

int InputCallback(const void* input, void*, unsigned long count, const PaStreamCallbackTimeInfo*,
                  PaStreamCallbackFlags, void* user) {
    auto* source = static_cast<PortAudioSource*>(user);
    if (input)
        source->OnInput(static_cast<const std::int16_t*>(input), count);
    return paContinue;
}

std::string DeviceName(PaDeviceIndex index) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
    return info && info->name ? info->name : std::string();
}

}  // namespace

PortAudioSource::PortAudioSource() {
    initialised_ = Pa_Initialize() == paNoError;
}

PortAudioSource::~PortAudioSource() {
    Stop();
    if (initialised_)
        Pa_Terminate();
}

std::vector<AudioDevice> PortAudioSource::ListDevices() {
    std::vector<AudioDevice> devices;
    if (!initialised_)
        return devices;
    const PaDeviceIndex count = Pa_GetDeviceCount();
    for (PaDeviceIndex i = 0; i < count; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (!info || info->maxInputChannels < 1)
            continue;
        devices.push_back({info->name, info->name});
    }
    return devices;
}

std::optional<std::string> PortAudioSource::Open(const std::optional<std::string>& deviceId) {
    Stop();
    if (!initialised_)
        return std::string(kSoundInitFailed);
    PaDeviceIndex device = Pa_GetDefaultInputDevice();
    if (deviceId && !deviceId->empty()) {
        device = paNoDevice;
        for (PaDeviceIndex i = 0; i < Pa_GetDeviceCount(); ++i) {
            const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
            if (info && info->maxInputChannels > 0 && DeviceName(i) == *deviceId) {
                device = i;
                break;
            }
        }
    }
    if (device == paNoDevice)
        return std::string(kSoundDeviceError);
    const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
    // A mono device is accepted; its one channel feeds both sides of the ring.
    channels_ = info->maxInputChannels >= 2 ? 2 : 1;
    PaStreamParameters params{};
    params.device = device;
    params.channelCount = channels_;
    params.sampleFormat = paInt16;
    params.suggestedLatency = info->defaultLowInputLatency;
    {
        std::lock_guard lock(mutex_);
        ring_.fill(0);
        writeFrame_ = 0;
        halvesDone_ = halvesRead_ = 0;
        interrupted_ = failed_ = false;
    }
    PaStream* stream = nullptr;
    if (Pa_OpenStream(&stream, &params, nullptr, receive::kCaptureRateHz, receive::kHalfFrames / 4,
                      paNoFlag, InputCallback, this) != paNoError)
        return std::string(kSoundDeviceError);
    if (Pa_StartStream(stream) != paNoError) {
        Pa_CloseStream(stream);
        return std::string(kLoopStartFailed);
    }
    stream_ = stream;
    return std::nullopt;
}

void PortAudioSource::Stop() {
    if (stream_) {
        auto* stream = static_cast<PaStream*>(stream_);
        Pa_StopStream(stream);
        Pa_CloseStream(stream);
        stream_ = nullptr;
    }
    Interrupt();
}

void PortAudioSource::OnInput(const std::int16_t* samples, unsigned long count) {
    {
        std::lock_guard lock(mutex_);
        for (unsigned long f = 0; f < count; ++f) {
            const std::int16_t left = samples[f * channels_];
            ring_[2 * writeFrame_] = left;
            ring_[2 * writeFrame_ + 1] = channels_ > 1 ? samples[f * channels_ + 1] : left;
            writeFrame_ = (writeFrame_ + 1) % receive::kRingFrames;
            if (writeFrame_ % receive::kHalfFrames == 0)
                ++halvesDone_;
        }
    }
    wake_.notify_one();
}

receive::ReadStatus PortAudioSource::WaitHalf(
    std::span<std::int16_t, receive::kHalfSamples> frames) {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return interrupted_ || failed_ || halvesDone_ > halvesRead_; });
    if (interrupted_) {
        interrupted_ = false;
        return receive::ReadStatus::Interrupted;
    }
    if (failed_)
        return receive::ReadStatus::Error;
    // The half not being written is the complete one.
    const std::size_t offset = writeFrame_ < receive::kHalfFrames ? receive::kHalfFrames : 0;
    std::memcpy(frames.data(), ring_.data() + 2 * offset,
                receive::kHalfSamples * sizeof(std::int16_t));
    halvesRead_ = halvesDone_;
    return receive::ReadStatus::Block;
}

void PortAudioSource::Interrupt() {
    {
        std::lock_guard lock(mutex_);
        interrupted_ = true;
    }
    wake_.notify_all();
}

}  // namespace morvane::platform::audio
