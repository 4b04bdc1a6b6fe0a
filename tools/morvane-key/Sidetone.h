// Key events as audio: a clean 603 Hz tone with soft edges, written to a WAV
// file or played on the default output device.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "transmit/VirtualKeying.h"

namespace morvane::tools {

inline constexpr int kSidetoneRateHz = 11025;

// Mono 16-bit samples of the key-down/key-up events (PTT ignored), from 0 ms.
std::vector<std::int16_t> RenderSidetone(const std::vector<transmit::KeyEvent>& events);

// Both return an error text, empty on success.
std::string WriteWav(const std::string& path, const std::vector<std::int16_t>& samples);
std::string PlayAudio(const std::vector<std::int16_t>& samples);

}  // namespace morvane::tools
