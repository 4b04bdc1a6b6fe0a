#include "synth/CwSynth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace morvane::synth {

double NoiseSigma(const SynthConfig& config) {
    // White noise of variance s^2 spreads evenly over 0..fs/2, so the part in
    // bandwidth B is s^2 * B / (fs / 2). The steady tone has power A^2 / 2.
    const double tonePower = config.ReferenceAmplitude * config.ReferenceAmplitude / 2.0;
    const double inBandPower = tonePower / std::pow(10.0, config.SnrDb / 10.0);
    const double totalPower = inBandPower * (config.SampleRateHz / 2.0) / config.NoiseBandwidthHz;
    return std::sqrt(totalPower);
}

namespace {

// Jitter moves each event on its own but never past its neighbours, so a
// mark or space keeps at least a millisecond.
void ApplyJitter(std::vector<KeyEvent>& events, double jitterMs, std::mt19937_64& rng) {
    if (jitterMs <= 0.0)
        return;
    std::normal_distribution<double> jitter(0.0, jitterMs);
    double previous = -1e300;
    for (auto& event : events) {
        event.TimeMs = std::max(event.TimeMs + jitter(rng), previous + 1.0);
        previous = event.TimeMs;
    }
}

}  // namespace

CwSynth::CwSynth(SynthConfig config, std::vector<Station> stations)
    : config_(config), rng_(config.Seed) {
    noiseSigma_ = config_.NoiseOn ? NoiseSigma(config_) : 0.0;
    const double edgeFrames = config_.EdgeMs * config_.SampleRateHz / 1000.0;
    edgeStep_ = edgeFrames >= 1.0 ? 1.0 / edgeFrames : 1.0;
    double lastMs = 0.0;
    for (auto& station : stations) {
        ApplyJitter(station.Events, station.JitterMs, rng_);
        if (!station.Events.empty())
            lastMs = std::max(lastMs, station.Events.back().TimeMs);
        voices_.push_back(Voice{.Config = std::move(station)});
    }
    totalFrames_ =
        static_cast<std::int64_t>(std::ceil((lastMs + 1000.0) * config_.SampleRateHz / 1000.0));
}

int CwSynth::Channels() const {
    return config_.Layout == ChannelLayout::Mono ? 1 : 2;
}

double CwSynth::VoiceSample(Voice& voice) {
    const auto& events = voice.Config.Events;
    const double nowMs = position_ * 1000.0 / config_.SampleRateHz;
    while (voice.NextEvent < events.size() && events[voice.NextEvent].TimeMs <= nowMs) {
        const bool down = events[voice.NextEvent++].KeyDown;
        if (down != voice.KeyDown) {
            voice.KeyDown = down;
            voice.RampFrom = voice.Envelope;
            voice.RampPos = 0.0;
        }
    }
    if (voice.RampPos < 1.0) {
        voice.RampPos = std::min(1.0, voice.RampPos + edgeStep_);
        const double target = voice.KeyDown ? 1.0 : 0.0;
        const double shape = 0.5 - 0.5 * std::cos(std::numbers::pi * voice.RampPos);
        voice.Envelope = voice.RampFrom + (target - voice.RampFrom) * shape;
    }
    const auto& station = voice.Config;
    double gain = station.Amplitude * voice.Envelope;
    if (station.FadeDepth > 0.0) {
        const double t = nowMs / 1000.0;
        const double dip = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * t / station.FadePeriodS);
        gain *= 1.0 - station.FadeDepth * dip;
    }
    const double value = gain * std::sin(voice.Phase);
    voice.Phase += 2.0 * std::numbers::pi * station.ToneHz / config_.SampleRateHz;
    if (voice.Phase > 2.0 * std::numbers::pi)
        voice.Phase -= 2.0 * std::numbers::pi;
    return value;
}

void CwSynth::Render(std::span<std::int16_t> interleaved) {
    const int channels = Channels();
    const std::size_t frames = interleaved.size() / channels;
    for (std::size_t f = 0; f < frames; ++f) {
        double value = 0.0;
        for (auto& voice : voices_)
            value += VoiceSample(voice);
        if (noiseSigma_ > 0.0)
            value += noiseSigma_ * gauss_(rng_);
        const auto sample =
            static_cast<std::int16_t>(std::lround(std::clamp(value, -32768.0, 32767.0)));
        switch (config_.Layout) {
            case ChannelLayout::Mono:
                interleaved[f] = sample;
                break;
            case ChannelLayout::StereoBoth:
                interleaved[2 * f] = sample;
                interleaved[2 * f + 1] = sample;
                break;
            case ChannelLayout::StereoLeft:
                interleaved[2 * f] = sample;
                interleaved[2 * f + 1] = 0;
                break;
            case ChannelLayout::StereoRight:
                interleaved[2 * f] = 0;
                interleaved[2 * f + 1] = sample;
                break;
        }
        ++position_;
    }
}

}  // namespace morvane::synth
