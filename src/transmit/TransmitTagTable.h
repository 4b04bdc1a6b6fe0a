// The tag spellings and what they do.
#pragma once

#include <array>
#include <string_view>

#include "transmit/TransmitTags.h"

namespace morvane::transmit {

struct TagRow {
    std::string_view Text;
    TagKind Kind;
    double Value;
};

inline constexpr std::array<TagRow, 39> kTagTable{{
    {"<+1 UP>", TagKind::SpeedUp, 1},
    {"<+2 UP>", TagKind::SpeedUp, 2},
    {"<+3 UP>", TagKind::SpeedUp, 3},
    {"<-1 DOWN>", TagKind::SpeedDown, 1},
    {"<-2 DOWN>", TagKind::SpeedDown, 2},
    {"<-3 DOWN>", TagKind::SpeedDown, 3},
    {"<ORIGINAL>", TagKind::Original, 0},
    {"<DOT0.9>", TagKind::DotWeight, 0.9},
    {"<DOT1.0>", TagKind::DotWeight, 1.0},
    {"<DOT1.1>", TagKind::DotWeight, 1.1},
    {"<DOT1.2>", TagKind::DotWeight, 1.2},
    {"<DOT1.3>", TagKind::DotWeight, 1.3},
    {"<DOT1.5>", TagKind::DotWeight, 1.5},
    {"<DASH2.8>", TagKind::DashWeight, 2.8},
    {"<DASH3.0>", TagKind::DashWeight, 3.0},
    {"<DASH3.2>", TagKind::DashWeight, 3.2},
    {"<DASH3.4>", TagKind::DashWeight, 3.4},
    {"<DASH3.6>", TagKind::DashWeight, 3.6},
    {"<DASH3.8>", TagKind::DashWeight, 3.8},
    {"<DASH4.0>", TagKind::DashWeight, 4.0},
    {"<DASH4.2>", TagKind::DashWeight, 4.2},
    {"<DASH4.5>", TagKind::DashWeight, 4.5},
    {"<C_SPACE2.6>", TagKind::CharSpaceWeight, 2.6},
    {"<C_SPACE2.8>", TagKind::CharSpaceWeight, 2.8},
    {"<C_SPACE3.0>", TagKind::CharSpaceWeight, 3.0},
    {"<C_SPACE3.5>", TagKind::CharSpaceWeight, 3.5},
    {"<C_SPACE4.0>", TagKind::CharSpaceWeight, 4.0},
    {"<C_SPACE5.0>", TagKind::CharSpaceWeight, 5.0},
    {"<W_SPACE4.0>", TagKind::WordSpaceWeight, 4.0},
    {"<W_SPACE5.0>", TagKind::WordSpaceWeight, 5.0},
    {"<W_SPACE6.0>", TagKind::WordSpaceWeight, 6.0},
    {"<W_SPACE7.0>", TagKind::WordSpaceWeight, 7.0},
    {"<W_SPACE8.0>", TagKind::WordSpaceWeight, 8.0},
    {"<W_SPACE9.0>", TagKind::WordSpaceWeight, 9.0},
    {"<TXTIME>", TagKind::TxTime, 0},
    {"<VK_F1>", TagKind::FunctionKey, 1},
    {"<VK_F5>", TagKind::FunctionKey, 5},
    {"<VK_F6>", TagKind::FunctionKey, 6},
    {"<VK_F7>", TagKind::FunctionKey, 7},
}};

}  // namespace morvane::transmit
