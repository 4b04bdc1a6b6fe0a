// The traffic log: a dated UTF-16 file of everything shown in the receive
// window, appended a piece at a time whenever the window switches between
// received and sent text, and once more at shutdown. The file is opened and
// closed for every write so it is complete on disk at any moment.
#pragma once

#include <atomic>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>

#include "text/TrafficLogHook.h"

namespace morvane::transmit {

inline constexpr std::string_view kLogNoFolderMessage =
    "Saveが選択されましたが、保存先フォルダーが未設定です。\r\n既存ファイルの読み込みをしてから、"
    "オプション設定を\n\rして下さい。";
inline constexpr std::string_view kLogCreateFailedMessage =
    "新規ファイル作成に失敗しました。\r\n保存できません。";

enum class LogOpenResult {
    Off,           // "Save" not chosen
    On,            // a new dated file was created
    NoFolder,      // "Save" chosen but no settings file loaded: turn "Save" off
    CreateFailed,  // the file could not be created: turn "Save" off
};

struct TrafficLogClock {
    std::function<std::tm()> LocalTime;      // for the file name and first line
    std::function<std::string()> ClockText;  // the clock display, for stamps
};

class TrafficLog final : public text::TrafficLogHook {
  public:
    explicit TrafficLog(TrafficLogClock clock) : clock_(std::move(clock)) {}

    // `folder` is where the loaded settings file lives (with its trailing
    // separator); `saveChosen` is the option string's "Save" choice.
    LogOpenResult OpenLog(const std::string& folder, bool saveChosen);
    // Shutdown: the last piece with "\n"; logging off.
    void CloseLog(const text::TextWindow& window);

    void BeforeLineLabel(text::LineLabel label, const text::TextWindow& window) override;
    void TxTimeLabelInserted() override;
    void WindowCleared() override { loggedUpTo_ = 0; }

    bool LogEnabled() const { return logEnabled_.load(); }
    const std::string& LogPath() const { return logPath_; }
    std::size_t LoggedUpTo() const { return loggedUpTo_; }

  private:
    bool AppendPiece(const text::TextWindow& window, std::string_view marker);

    TrafficLogClock clock_;
    std::atomic<bool> logEnabled_{false};
    std::string logPath_;
    std::size_t loggedUpTo_ = 0;
};

// The folder part of a settings file path, up to and including the last separator.
std::string LogFolderOf(const std::string& settingsPath);

// "%Y%m%d[%H%MJ]" of a local time: the log's name stem and first-line stamp.
std::string LogTimeStamp(const std::tm& localTime);

// Text as the log file holds it: UTF-16 little-endian, every "\n" written as
// "\r\n" (text-mode files), no byte-order mark.
std::string ToLogBytes(std::string_view utf8);

}  // namespace morvane::transmit
