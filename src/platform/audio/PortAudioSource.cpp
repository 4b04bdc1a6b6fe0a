#include "platform/audio/PortAudioSource.h"

#include <utility>

#include <portaudio.h>

#include <cstring>
#include <thread>

namespace morvane::platform::audio {

// The mutex keeps the source alive while a callback uses it. The pointer is
// also atomic: PortAudio may call the finished callback from the cleanup of
// its cancelled audio thread, where ThreadSanitizer does not see the lock.
struct PortAudioSource::StreamLink {
    std::mutex Mutex;
    std::atomic<PortAudioSource*> Source{nullptr};  // null once the source let the stream go
};

namespace {

int InputCallback(const void* input, void*, unsigned long count, const PaStreamCallbackTimeInfo*,
                  PaStreamCallbackFlags, void* user) {
    auto* link = static_cast<PortAudioSource::StreamLink*>(user);
    std::lock_guard lock(link->Mutex);
    if (PortAudioSource* source = link->Source.load(); input && source)
        source->OnInput(static_cast<const std::int16_t*>(input), count);
    return paContinue;
}

void FinishedCallback(void* user) {
    auto* link = static_cast<PortAudioSource::StreamLink*>(user);
    std::lock_guard lock(link->Mutex);
    if (PortAudioSource* source = link->Source.load())
        source->OnStreamFinished();
}

std::string DeviceName(PaDeviceIndex index) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
    return info && info->name ? info->name : std::string();
}

constexpr auto kBlockTime =
    std::chrono::microseconds(1'000'000LL * receive::kHalfFrames / receive::kCaptureRateHz);

}  // namespace

PortAudioSource::PortAudioSource() {
    initialised_ = Pa_Initialize() == paNoError;
    freshList_ = initialised_;
}

PortAudioSource::~PortAudioSource() {
    Stop();
    // A stream still closing in the background needs PortAudio; it is left
    // running (the program is ending).
    if (initialised_ && *pendingCloses_ == 0)
        Pa_Terminate();
}

// PortAudio reads its device list once, at initialisation. While a stream
// is still closing the old list stays.
void PortAudioSource::Reinitialise() {
    if (*pendingCloses_ > 0)
        return;
    if (initialised_)
        Pa_Terminate();
    initialised_ = Pa_Initialize() == paNoError;
}

std::vector<AudioDevice> PortAudioSource::ListDevices() {
    // The first list after construction is the one initialisation just read;
    // reading the sound system again costs start-up a third of a second.
    if (!stream_ && !std::exchange(freshList_, false))
        Reinitialise();
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
    return receive::ComboDevices(std::move(devices));
}

std::optional<std::string> PortAudioSource::Open(const std::optional<std::string>& deviceId) {
    bool lost = false;
    {
        std::lock_guard lock(mutex_);
        lost = failed_;
    }
    Stop();
    // After a loss the device may come back as a new one (replugged).
    if (lost || !initialised_)
        Reinitialise();
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
        halvesDone_ = halvesRead_ = framesIn_ = 0;
        interrupted_ = failed_ = false;
    }
    auto link = std::make_unique<StreamLink>();
    link->Source = this;
    PaStream* stream = nullptr;
    if (Pa_OpenStream(&stream, &params, nullptr, receive::kCaptureRateHz, receive::kHalfFrames / 4,
                      paNoFlag, InputCallback, link.get()) != paNoError)
        return std::string(kSoundDeviceError);
    if (Pa_SetStreamFinishedCallback(stream, FinishedCallback) != paNoError ||
        Pa_StartStream(stream) != paNoError) {
        Pa_CloseStream(stream);
        return std::string(kLoopStartFailed);
    }
    stream_ = stream;
    link_ = std::move(link);
    return std::nullopt;
}

void PortAudioSource::Stop() {
    if (stream_)
        CloseStream();
    Interrupt();
}

// Closing runs on a thread of its own, waited for at most kCloseWithin.
void PortAudioSource::CloseStream() {
    {
        // No callback reaches this source any more: the stream's end is no loss.
        std::lock_guard lock(link_->Mutex);
        link_->Source.store(nullptr);
    }
    struct Closing {
        std::mutex Mutex;
        std::condition_variable Done;
        bool Closed = false;
    };
    auto closing = std::make_shared<Closing>();
    ++*pendingCloses_;
    std::thread([stream = static_cast<PaStream*>(stream_), link = std::move(link_), closing,
                 pending = pendingCloses_]() {
        // Abort rather than stop: a lost device's audio thread may sit in a
        // wait that only cancelling ends.
        Pa_AbortStream(stream);
        Pa_CloseStream(stream);
        --*pending;
        {
            std::lock_guard lock(closing->Mutex);
            closing->Closed = true;
        }
        closing->Done.notify_all();
    }).detach();
    stream_ = nullptr;
    std::unique_lock lock(closing->Mutex);
    closing->Done.wait_for(lock, kCloseWithin, [&] { return closing->Closed; });
}

void PortAudioSource::OnInput(const std::int16_t* samples, unsigned long count) {
    {
        std::lock_guard lock(mutex_);
        framesIn_ += count;
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

void PortAudioSource::OnStreamFinished() {
    {
        std::lock_guard lock(mutex_);
        failed_ = true;
    }
    wake_.notify_all();
}

receive::ReadStatus PortAudioSource::WaitHalf(
    std::span<std::int16_t, receive::kHalfSamples> frames) {
    std::unique_lock lock(mutex_);
    const auto ready = [this] { return interrupted_ || failed_ || halvesDone_ > halvesRead_; };
    // The bound restarts with every wait, so it measures time without a new
    // half (audio may arrive in pieces smaller than a half).
    const auto bound = framesIn_ == 0 ? kFirstAudioWithin : kLostAfterBlocks * kBlockTime;
    if (!wake_.wait_for(lock, bound, ready))
        failed_ = true;  // the stream runs (or claims to) but nothing comes
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
