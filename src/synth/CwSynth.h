// Receiver-like CW audio from key events: one or more keyed tones with
// raised-cosine edges, slow fading, timing jitter and white Gaussian noise set
// by a signal-to-noise ratio in a stated bandwidth. Rendering streams, so an
// hour of audio needs no more memory than its event list; the same seed gives
// the same samples.
#pragma once

#include <cstdint>
#include <random>
#include <span>
#include <vector>

#include "synth/KeyEvents.h"

namespace morvane::synth {

enum class ChannelLayout {
    Mono,        // one sample per frame
    StereoBoth,  // the same audio on left and right
    StereoLeft,  // audio on the left, silence on the right
    StereoRight  // silence on the left, audio on the right
};

struct Station {
    std::vector<KeyEvent> Events;  // sorted by time
    double ToneHz = 603.0;
    double Amplitude = 4000.0;  // peak, in 16-bit units
    double FadeDepth = 0.0;     // 0..1: amplitude dips to (1 - depth) at the fade minimum
    double FadePeriodS = 8.0;   // period of the slow fade in seconds
    double JitterMs = 0.0;      // standard deviation added to every event time
};

struct SynthConfig {
    int SampleRateHz = 11025;
    ChannelLayout Layout = ChannelLayout::StereoBoth;
    double EdgeMs = 5.0;  // rise and fall time of the key envelope
    // Noise: SnrDb is the ratio of the power of a steady tone of
    // ReferenceAmplitude to the noise power inside NoiseBandwidthHz. No noise
    // when NoiseOn is false.
    bool NoiseOn = false;
    double SnrDb = 20.0;
    double NoiseBandwidthHz = 500.0;
    double ReferenceAmplitude = 4000.0;
    std::uint64_t Seed = 1;
};

// Standard deviation per sample (16-bit units) of white noise for the SNR
// stated in `config` at its sample rate.
double NoiseSigma(const SynthConfig& config);

class CwSynth {
  public:
    CwSynth(SynthConfig config, std::vector<Station> stations);

    int Channels() const;
    // Frames up to the last key-up plus one second of tail.
    std::int64_t TotalFrames() const { return totalFrames_; }
    std::int64_t Position() const { return position_; }

    // Fills whole frames of interleaved 16-bit samples, continuing where the
    // previous call stopped (beyond TotalFrames it keeps producing noise).
    void Render(std::span<std::int16_t> interleaved);

  private:
    struct Voice {
        Station Config;
        std::size_t NextEvent = 0;
        bool KeyDown = false;
        double Envelope = 0.0;
        double RampFrom = 0.0;
        double RampPos = 1.0;  // 0..1 along the current edge
        double Phase = 0.0;    // radians
    };
    double VoiceSample(Voice& voice);

    SynthConfig config_;
    std::vector<Voice> voices_;
    std::mt19937_64 rng_;
    std::normal_distribution<double> gauss_{0.0, 1.0};
    double noiseSigma_ = 0.0;
    double edgeStep_ = 1.0;
    std::int64_t position_ = 0;
    std::int64_t totalFrames_ = 0;
};

}  // namespace morvane::synth
