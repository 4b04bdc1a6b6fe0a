#include "Sidetone.h"

#include <portaudio.h>
#include <sndfile.h>

#include "synth/CwSynth.h"

namespace morvane::tools {

std::vector<std::int16_t> RenderSidetone(const std::vector<transmit::KeyEvent>& events) {
    synth::Station station;
    for (const transmit::KeyEvent& event : events) {
        if (event.Action == transmit::KeyAction::Down || event.Action == transmit::KeyAction::Up) {
            station.Events.push_back(
                {double(event.TimeMs), event.Action == transmit::KeyAction::Down});
        }
    }
    synth::CwSynth synth({.SampleRateHz = kSidetoneRateHz, .Layout = synth::ChannelLayout::Mono},
                         {station});
    std::vector<std::int16_t> samples(static_cast<std::size_t>(synth.TotalFrames()));
    synth.Render(samples);
    return samples;
}

std::string WriteWav(const std::string& path, const std::vector<std::int16_t>& samples) {
    SF_INFO info{};
    info.samplerate = kSidetoneRateHz;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr)
        return path + ": " + sf_strerror(nullptr);
    sf_count_t written = sf_write_short(file, samples.data(), sf_count_t(samples.size()));
    sf_close(file);
    return written == sf_count_t(samples.size()) ? "" : path + ": write failed";
}

std::string PlayAudio(const std::vector<std::int16_t>& samples) {
    if (Pa_Initialize() != paNoError)
        return "audio output unavailable";
    PaStream* stream = nullptr;
    PaError error =
        Pa_OpenDefaultStream(&stream, 0, 1, paInt16, kSidetoneRateHz, 256, nullptr, nullptr);
    if (error == paNoError)
        error = Pa_StartStream(stream);
    if (error == paNoError) {
        error = Pa_WriteStream(stream, samples.data(), static_cast<unsigned long>(samples.size()));
        Pa_StopStream(stream);
    }
    if (stream != nullptr)
        Pa_CloseStream(stream);
    std::string message = error == paNoError ? "" : Pa_GetErrorText(error);
    Pa_Terminate();
    return message;
}

}  // namespace morvane::tools
