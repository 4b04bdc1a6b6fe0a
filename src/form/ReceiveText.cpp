#include "form/ReceiveText.h"

#include <algorithm>
#include <cmath>

#include "common/Utf8.h"

namespace morvane::form {

std::size_t ModelPosition(std::string_view modelText, int documentPosition) {
    std::size_t model = 0;
    int document = 0;
    for (std::string_view character : common::SplitUtf8(modelText)) {
        if (document >= documentPosition)
            break;
        const char32_t c = common::DecodeUtf8(character);
        // "\r" is dropped from the shown text; "\n" is the break.
        document += c == U'\r' ? 0 : c > 0xFFFF ? 2 : 1;
        ++model;
    }
    return model;
}

QColor ConfidenceColour(float confidence) {
    constexpr float kSure = 0.9f;
    constexpr float kDoubtful = 0.1f;
    constexpr int kLightest = 170;
    if (!(confidence < kSure))
        return Qt::black;
    const float fade = std::clamp((kSure - confidence) / (kSure - kDoubtful), 0.0f, 1.0f);
    const int grey = static_cast<int>(std::lround(fade * kLightest));
    return {grey, grey, grey};
}

}  // namespace morvane::form
