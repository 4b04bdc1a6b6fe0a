// The errors of the logging links, each with the line written into the
// receive window when the operation came from a macro tag, and the message
// box text otherwise.
#pragma once

#include <array>
#include <string_view>

namespace morvane::qso {

enum class LinkError {
    HamlogNotRunning,
    HamlogSelectionScreen,
    CtestwinNotRunning,
    HamlogNotRunningSave,
    NoDataSentToHamlog,
    RcvdNrMissing,
    HamlogSelectionScreenSave,
};

struct LinkErrorText {
    LinkError Error;
    std::string_view InLine;
    std::string_view Box;
    bool Exclamation;  // the box shows the exclamation icon
};

inline constexpr std::array<LinkErrorText, 7> kLinkErrorTexts = {{
    {.Error = LinkError::HamlogNotRunning,
     .InLine = "HamLogを起動してください!!\r\n",
     .Box = "HamLogを起動して下さい。",
     .Exclamation = false},
    {.Error = LinkError::HamlogSelectionScreen,
     .InLine = "HamLogの選択画面が開いています!!\r\nあるいは、管理者権限の設定を調べてください。",
     .Box = "HamLogの選択画面が開いたままになっています。\r\nあるいは、管理者権限の設定を調べてくだ"
            "さい。",
     .Exclamation = false},
    {.Error = LinkError::CtestwinNotRunning,
     .InLine = "CTestWinを起動してください!!\r\n",
     .Box = "CTestWinを起動して下さい。",
     .Exclamation = false},
    {.Error = LinkError::HamlogNotRunningSave,
     .InLine = "HamLogを起動してください!!\r\n",
     .Box = "HamLogを起動してください。",
     .Exclamation = false},
    {.Error = LinkError::NoDataSentToHamlog,
     .InLine = "HamLogにデーターが送られていません!!\r\n",
     .Box = "Hamlogにデーターが送られていません\r\nQSOボタンを押してください。",
     .Exclamation = true},
    {.Error = LinkError::RcvdNrMissing,
     .InLine = "RcvdNRが入力されていません!!\r\n",
     .Box = "RcvdNRを入力して、再度QSOボタンと \r\nSAVEボタンを押してください。",
     .Exclamation = true},
    {.Error = LinkError::HamlogSelectionScreenSave,
     .InLine = "HamLogの選択画面が開いたままです!!\r\nあるいは、管理者権限の設定を調べてください。",
     .Box = "HamLogの選択画面が開いたままになっています。\r\nあるいは、管理者権限の設定を調べてくだ"
            "さい。",
     .Exclamation = false},
}};

constexpr const LinkErrorText& TextOf(LinkError error) {
    return kLinkErrorTexts[static_cast<std::size_t>(error)];
}

// Boxes that Clear and T show outside the error table.
inline constexpr std::string_view kHamlogNotLinkedBox = "HamLogとリンクしていません。";

}  // namespace morvane::qso
