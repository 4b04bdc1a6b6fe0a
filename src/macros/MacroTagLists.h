// The tag lists offered by the macro, Remarks, SendNR and Auto CQ dialogs,
// in the order shown. Items carry a leading blank that insertion removes.
#pragma once

#include <array>
#include <string_view>

namespace morvane::macros::taglists {

inline constexpr std::array<std::string_view, 2> kMacroHead = {" <HisCall>", " <HisRST>"};
inline constexpr std::array<std::string_view, 4> kMacroContest = {" <RcvdNR>", " <SendNR>",
                                                                  " <TestNR>", " <TestName>"};
inline constexpr std::array<std::string_view, 2> kMacroPlain = {" <HisName>", " <HisQTH>"};
inline constexpr std::array<std::string_view, 15> kMacroTail = {
    " <MyCall>",   " <MyName>", " <MyQTH>", " <MyRST>",  " <Others>",
    " <Greeting>", " <MyWX>",   " <HisWX>", " <MyTemp>", " <HisTemp>",
    " <TxTime>",   " <VK_F1>",  " <VK_F5>", " <VK_F6>",  " <VK_F7>"};

inline constexpr std::array<std::string_view, 7> kSpeed = {
    " <+3 Up>", " <+2 Up>", " <+1 UP>", " <Original>", " <-1 Down>", " <-2 Down>", " <-3 Down>"};

inline constexpr std::array<std::string_view, 16> kRatio = {
    " <Dot1.0>",  " <Dot1.1>",  " <Dot1.2>",  " <Dot1.3>",  " <Dot1.4>",  " <Dot1.5>",
    "",           " <Dash2.8>", " <Dash3.0>", " <Dash3.2>", " <Dash3.4>", " <Dash3.6>",
    " <Dash3.8>", " <Dash4.0>", " <Dash4.2>", " <Dash4.5>"};

inline constexpr std::array<std::string_view, 10> kSpace = {"<C_Space3.0>",
                                                            "<C_Space3.5>",
                                                            "<C_Space4.0>",
                                                            "<C_Space5.0>",
                                                            "<C_Space6.0>",
                                                            "<C_Space9.0>",
                                                            "",
                                                            "<W_Space4.0>",
                                                            "<W_Space5.0>",
                                                            "<W_Space7.0>"};

inline constexpr std::array<std::string_view, 12> kRemarks = {
    " <MyRST>",    " <RcvdNR>",   " <RcvdNR%15>", " <SendNR>", " <SendNR%15>", " <TestNR>",
    " <TestNR%9>", " <TestName>", " <MyCall>",    " <MyName>", " <JST>",       " <UTC>"};

inline constexpr std::array<std::string_view, 2> kSendNr = {" <HisRST>", " <TestNR>"};

inline constexpr std::array<std::string_view, 4> kAutoCq = {" <MyCall>", " <MyQTH>", " <Others>",
                                                            " <VK_F1>"};
inline constexpr std::string_view kAutoCqContest = " <TestName>";

}  // namespace morvane::macros::taglists
