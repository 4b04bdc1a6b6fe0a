// The main form's controls: id, kind, caption, place in the 952 x 558
// reference client area and the hover help each area shows. The form builds
// itself from this table; the id becomes the widget's object name ("c1027")
// so that tests and the help hit test find controls by the numbers the
// operator's documentation uses.
#pragma once

#include <array>
#include <string_view>

namespace morvane::form {

enum class Kind {
    Group,
    Button,
    Check,
    Radio,
    Static,
    Edit,
    MultiEdit,
    RichEdit,
    Combo,
    Slider,
    Spin,
    Display
};

struct FormControl {
    int Id;  // 0: a caption without id
    Kind Type;
    std::string_view Caption;
    int X, Y, W, H;
    int Help = 0;  // index into kHelpTexts, 0 none
};

// Hover help texts, 1-based; the macro label and Auto CQ ids show macro text instead.
inline constexpr std::array<std::string_view, 73> kHelpTexts = {
    "",
    "Help>> 受信速度調整スライダ",
    "Help>> 受信速度自動調整 (C/M)",
    "Help>> 送信速度調整スライダ (F10 & F11)",
    "Help>> 送信速度（C/M)",
    "Help>> 送信符号の短点ウエイト調整",
    "Help>> CW符号表示",
    "Help>> 信号強度表示",
    "Help>> 図示停止",
    "Help>> インターフェース制御ＣＯＭ",
    "Help>> ゲインレベルしきい値の設定はグラフィック上をクリック",
    "Help>> 送信速度プリセット",
    "Help>> 信号強度（グラフ上クリックで「しきい値」変更）",
    "Help>> 受信音スペクトラム（グラフ上クリックでセンター周波数変更）",
    "Help>> サインカーブ表示",
    "Help>> リサージュ表示",
    "Help>> 受信音スペクトルＦＦＴ表示",
    "Help>> 受信音ボリューム",
    "Help>> ノイズレジューサ",
    "Help>> ＣＷフィルタ補助",
    "Help>> センター周波数設定はグラフィック上でクリック",
    "Help>> センター周波数自動設定",
    "Help>> ＱＳＯデータークリア (Esc)",
    "Help>> HisCall (F1)",
    "Help>> HisName (F2)",
    "Help>> HisQTH (F3)",
    "Help>> HisRST (F4)",
    "Help>> MyRST (F5)",
    "Help>> ハムログ入力画面へＱＳＯデータ転送 (F6)",
    "Help>> ハムログデーター保存 (F7)",
    "Help>> キー入力モード選択",
    "Help>> 受信文字列コピー＆ペースト",
    "Help>> 符号間スペース間隔設定",
    "Help>> 天候",
    "Help>> 受信文字枠クリア",
    "Help>> 貼り付け時スペース削除",
    "Help>> 英語選択 (F8)",
    "Help>> 和文選択 (F9)",
    "Help>> 言語自動切替",
    "Help>> 拡張解読",
    "Help>> フォントサイズ選択",
    "Help>> ひらがな・カタカナ選択",
    "Help>> サウンドカード選択",
    "Help>> ディジタル時計",
    "Help>> 受信枠に送信中の文字表示",
    "Help>> 送信/停止",
    "Help>> 送信枠自動クリア",
    "Help>> 送信枠クリア",
    // 48-62: macro labels 1 to 15 (their texts come from the macros)
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "Help>> UTC時刻",
    "Help>> 気温",
    "Help>> コンテストモード",
    "Help>> コンテストナンバー(カウントアップ)",
    "Help>> 朝昼晩の挨拶",
    "Help>> 送信符号の長点ウェイト調整",
    "Help>> JST時刻",
    "Help>> 経過時間",
    "Help>> Contest SendNR",
    "Help>> Contest RcvdNR(F3)",
};
inline constexpr int kFirstMacroHelp = 48;
inline constexpr int kAutoCqHelp = 73;  // then 74-88: macro labels 16 to 30
inline constexpr std::string_view kReadyText = "ﾚﾃﾞｨ";

// Group boxes come first so that the controls inside are stacked above them.
inline constexpr FormControl kFormControls[] = {
    {0, Kind::Group, "Speed Control", 4, 2, 258, 110},
    {0, Kind::Group, " Dot       Dash     C_Space  W_Space", 4, 114, 258, 44},
    {0, Kind::Group, "Draw", 4, 160, 170, 38},
    {0, Kind::Group, "COM Port", 178, 160, 84, 38},  // caption follows the open port
    {0, Kind::Group, "           CW Signal Level", 266, 26, 204, 170},
    {0, Kind::Group, "            Signal Tone", 474, 26, 206, 170},
    {0, Kind::Group, "Graphic", 684, 2, 264, 40},
    {0, Kind::Group, "Center Freq. ", 684, 44, 124, 40},
    {0, Kind::Group, "Input Vol.", 812, 44, 136, 40},
    {0, Kind::Group, "Filter", 684, 86, 150, 40},
    {0, Kind::Group, "Key Mode", 838, 86, 110, 40},
    {1213, Kind::Group, "Sound Device", 684, 128, 264, 40},
    {0, Kind::Group, "HisCall  (F1)", 68, 200, 120, 48},
    {1198, Kind::Group, "HisName  (F2)", 192, 200, 110, 48},
    {1199, Kind::Group, "HisQTH  (F3)", 306, 200, 120, 48},
    {0, Kind::Group, "HisRST", 430, 200, 64, 48},
    {0, Kind::Group, "MyRST", 498, 200, 64, 48},
    {1210, Kind::Group, "Greeting", 640, 200, 70, 48},
    {1278, Kind::Group, "MyWX", 713, 200, 102, 48},
    {1279, Kind::Group, "MyTemp C", 838, 200, 102, 48},
    {1209, Kind::Group, "Language(F8)", 4, 472, 238, 40},
    {1211, Kind::Group, "Contest Mode", 246, 472, 220, 40},

    // Speed control
    {0, Kind::Static, "[RX]", 10, 18, 28, 18},
    {1000, Kind::Slider, "", 40, 16, 150, 22, 1},
    {0, Kind::Static, "S", 42, 38, 20, 14},
    {0, Kind::Static, "F", 176, 38, 14, 14},
    {1002, Kind::Check, "Auto", 196, 16, 60, 20, 2},
    {1241, Kind::Static, "100/Min", 196, 38, 60, 16, 2},
    {0, Kind::Static, "[TX]", 10, 58, 28, 18},
    {1001, Kind::Slider, "", 40, 56, 150, 22, 3},
    {0, Kind::Static, "S(F10)", 40, 78, 44, 14},
    {0, Kind::Static, "F(11)", 150, 78, 40, 14},
    {1193, Kind::Static, "100/Min", 196, 58, 60, 16, 4},
    {1274, Kind::Button, "P", 196, 80, 20, 20, 11},
    {1275, Kind::Button, "M", 218, 80, 20, 20, 11},
    {1276, Kind::Button, "R", 240, 80, 20, 20, 11},
    {1232, Kind::Combo, "", 10, 132, 58, 22, 5},
    {1166, Kind::Combo, "", 72, 132, 58, 22, 68},
    {1238, Kind::Combo, "", 134, 132, 58, 22, 32},
    {1233, Kind::Combo, "", 196, 132, 58, 22, 32},
    {1004, Kind::Radio, "CW", 10, 176, 48, 18, 6},
    {1005, Kind::Radio, "Signal", 58, 176, 62, 18, 7},
    {1180, Kind::Check, "Stop", 120, 176, 52, 18, 8},
    {1282, Kind::Combo, "", 184, 174, 74, 22, 9},

    // Level and tone displays
    {1140, Kind::Display, "", 270, 44, 165, 121, 12},
    {1215, Kind::Static, "0", 437, 44, 32, 14},
    {1216, Kind::Static, "-45", 437, 98, 32, 14},
    {1217, Kind::Static, "-90", 437, 150, 32, 14},
    {1082, Kind::Static, "Threshold -45db", 270, 168, 104, 18, 10},
    {1086, Kind::Static, "→ t", 376, 168, 26, 18},
    {1280, Kind::Check, "Auto", 404, 168, 60, 18, 10},
    {1031, Kind::Edit, "", 270, 186, 60, 8},
    {1133, Kind::Edit, "", 332, 186, 60, 8},
    {1250, Kind::Combo, "", 394, 186, 60, 8},
    {1087, Kind::Static, "", 476, 44, 30, 14},
    {1088, Kind::Static, "", 476, 98, 30, 14},
    {1089, Kind::Static, "", 476, 150, 30, 14},
    {1141, Kind::Display, "", 508, 44, 168, 121, 13},
    {1090, Kind::Static, "", 496, 168, 24, 14},
    {1091, Kind::Static, "", 520, 168, 24, 14},
    {1092, Kind::Static, "", 544, 168, 24, 14},
    {1093, Kind::Static, "", 568, 168, 24, 14},
    {1094, Kind::Static, "", 592, 168, 24, 14},
    {1095, Kind::Static, "", 616, 168, 24, 14},
    {1096, Kind::Static, "", 640, 168, 24, 14},
    {1097, Kind::Static, "", 660, 168, 36, 14},

    // Right column
    {1010, Kind::Radio, "Sine Wave", 690, 18, 80, 20, 14},
    {1011, Kind::Radio, "Synchro", 772, 18, 70, 20, 15},
    {1012, Kind::Radio, "FFT", 844, 18, 50, 20, 16},
    {1181, Kind::Check, "Stop", 896, 18, 50, 20, 8},
    {1249, Kind::Static, "603Hz", 690, 60, 50, 18, 20},
    {1127, Kind::Check, "Auto", 744, 60, 60, 20, 21},
    {1078, Kind::Slider, "", 818, 60, 124, 20, 17},
    {1057, Kind::Check, "NR1", 690, 102, 46, 20, 18},
    {1203, Kind::Check, "NR2", 738, 102, 46, 20, 18},
    {1118, Kind::Check, "QRM", 786, 102, 46, 20, 19},
    {1189, Kind::Combo, "", 844, 102, 98, 22, 30},
    {1115, Kind::Combo, "", 690, 144, 252, 22, 42},

    // QSO row
    {1056, Kind::Button, "Clear (Esc)", 4, 220, 60, 24, 22},
    {1027, Kind::Edit, "", 72, 218, 112, 24, 23},
    {1028, Kind::Edit, "", 196, 218, 102, 24, 24},
    {1034, Kind::Edit, "", 196, 218, 102, 24, 71},
    {1029, Kind::Edit, "", 310, 218, 112, 24, 25},
    {1201, Kind::Edit, "", 310, 218, 112, 24, 72},
    {1239, Kind::Combo, "", 434, 218, 56, 24, 26},
    {1240, Kind::Combo, "", 502, 218, 56, 24, 27},
    {1139, Kind::Button, "QSO  (F6)", 566, 204, 70, 20, 28},
    {1162, Kind::Button, "SAVE (F7)", 566, 226, 70, 20, 29},
    {1195, Kind::Combo, "", 644, 218, 62, 24, 67},
    {1218, Kind::Combo, "", 717, 220, 94, 24, 33},
    {1032, Kind::Edit, "", 842, 220, 40, 24, 64},
    {1208, Kind::Check, " F", 886, 220, 50, 24, 64},

    // Receive area
    {1185, Kind::RichEdit, "", 4, 252, 462, 190},
    {1036, Kind::Button, "RX Clear", 4, 446, 70, 22, 34},
    {1100, Kind::Check, " Space Del", 78, 446, 90, 22, 35},
    {1258, Kind::Button, "RX Paste", 172, 446, 70, 22, 31},
    {1018, Kind::Radio, "ENG", 10, 488, 50, 20, 36},
    {1019, Kind::Radio, "JPN", 62, 488, 50, 20, 37},
    {1085, Kind::Check, "Auto", 114, 488, 56, 20, 38},
    {1020, Kind::Check, "Extend", 172, 488, 66, 20, 39},
    {1194, Kind::Button, "U", 4, 518, 20, 20, 63},
    {1207, Kind::Button, "J", 26, 518, 20, 20, 69},
    {1219, Kind::Button, "E", 48, 518, 20, 20, 70},
    {1188, Kind::RichEdit, "", 72, 516, 90, 26, 43},
    {1197, Kind::Check, "TEST", 252, 488, 60, 20, 65},
    {1212, Kind::Static, "No.", 316, 490, 30, 18, 66},
    {1196, Kind::Edit, "", 348, 486, 110, 22, 66},

    // Transmit area
    {1033, Kind::MultiEdit, "", 470, 252, 467, 187},
    {1247, Kind::RichEdit, "", 470, 252, 467, 60},
    {1047, Kind::Check, "TX Edit", 470, 446, 70, 20, 45},
    {1192, Kind::Static, "", 542, 446, 40, 20},
    {1190, Kind::Check, "CLR", 584, 446, 50, 20, 46},
    {1030, Kind::Spin, "", 750, 446, 44, 22, 46},
    {1035, Kind::Button, "TxClear(F9)", 798, 446, 90, 22, 47},
    {1259, Kind::Button, "T", 892, 446, 46, 22},
};

}  // namespace morvane::form
