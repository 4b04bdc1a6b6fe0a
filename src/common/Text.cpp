#include "common/Text.h"

namespace morvane::common {

std::string CollapseBlanks(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
        if (c == ' ' && (out.empty() || out.back() == ' '))
            continue;
        out += c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

}  // namespace morvane::common
