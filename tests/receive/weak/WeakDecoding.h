// A whole recording through the receive path with the weak decoder, from a
// cold start, as the weak decoder's suites decode their material.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/Text.h"
#include "receive/ReceivePath.h"

namespace morvane::receive {

inline std::string DecodeWeak(const std::vector<std::int16_t>& frames,
                              ReceivePathOptions options = {}) {
    options.Decoder = DecoderKind::Weak;
    ReceivePath path(options);
    path.OnRecording(frames, 0);
    path.Flush();
    return common::CollapseBlanks(path.ReceivedText());
}

}  // namespace morvane::receive
