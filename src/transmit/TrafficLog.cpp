#include "transmit/TrafficLog.h"

#include <cstdio>

#include "common/Utf8.h"

namespace morvane::transmit {

namespace {

constexpr std::string_view kByteOrderMark = "\xFF\xFE";
constexpr std::string_view kSentMarker = "\rTX> ";
constexpr std::string_view kReceivedMarker = "\rRX> ";
// The window's "\r\nTX> " / "\r\nRX> " label, in window characters: the
// marker already stands for it in the file, so the next piece starts after it.
constexpr std::size_t kLineLabelLength = 6;

void AppendUnit(std::string& bytes, char16_t unit) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
}

bool WriteFile(const std::string& path, const char* mode, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (file == nullptr)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace

std::string LogFolderOf(const std::string& settingsPath) {
    std::size_t last = settingsPath.find_last_of("/\\");
    return last == std::string::npos ? std::string() : settingsPath.substr(0, last + 1);
}

std::string LogTimeStamp(const std::tm& localTime) {
    char text[64];
    std::size_t length = std::strftime(text, sizeof text, "%Y%m%d[%H%MJ]", &localTime);
    return std::string(text, length);
}

std::string ToLogBytes(std::string_view utf8) {
    std::string bytes;
    for (std::string_view character : common::SplitUtf8(utf8)) {
        char32_t code = common::DecodeUtf8(character);
        if (code == U'\n')
            AppendUnit(bytes, u'\r');
        if (code >= 0x10000) {
            code -= 0x10000;
            AppendUnit(bytes, static_cast<char16_t>(0xD800 + (code >> 10)));
            AppendUnit(bytes, static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            AppendUnit(bytes, static_cast<char16_t>(code));
        }
    }
    return bytes;
}

LogOpenResult TrafficLog::OpenLog(const std::string& folder, bool saveChosen) {
    logEnabled_.store(false);
    if (!saveChosen)
        return LogOpenResult::Off;
    if (folder.empty())
        return LogOpenResult::NoFolder;
    std::string stamp = LogTimeStamp(clock_.LocalTime());
    logPath_ = folder + stamp + ".txt";
    std::string first = std::string(kByteOrderMark) + ToLogBytes("MRVN " + stamp + "\r\n");
    if (!WriteFile(logPath_, "wb", first))
        return LogOpenResult::CreateFailed;
    logEnabled_.store(true);
    return LogOpenResult::On;
}

bool TrafficLog::AppendPiece(const text::TextWindow& window, std::string_view marker) {
    std::size_t length = window.Length();
    std::string piece = length > loggedUpTo_ ? window.Slice(loggedUpTo_, length - loggedUpTo_) : "";
    loggedUpTo_ = length + kLineLabelLength;
    std::string text = piece + std::string(marker);
    if (marker != "\n")
        text += "[" + clock_.ClockText() + "] ";
    // Appending to a file that has gone starts it again with its mark.
    std::FILE* probe = std::fopen(logPath_.c_str(), "rb");
    bool fresh = probe == nullptr || std::fgetc(probe) == EOF;
    if (probe != nullptr)
        std::fclose(probe);
    std::string bytes = (fresh ? std::string(kByteOrderMark) : std::string()) + ToLogBytes(text);
    if (!WriteFile(logPath_, "ab", bytes)) {
        logEnabled_.store(false);
        return false;
    }
    return true;
}

void TrafficLog::BeforeLineLabel(text::LineLabel label, const text::TextWindow& window) {
    if (!logEnabled_.load())
        return;
    AppendPiece(window, label == text::LineLabel::Sent ? kSentMarker : kReceivedMarker);
}

// The "<TXTIME>" stamp follows its label; the marker's own stamp stands for it.
void TrafficLog::TxTimeLabelInserted() {
    loggedUpTo_ += common::Utf8Length("[" + clock_.ClockText() + "] ");
}

void TrafficLog::CloseLog(const text::TextWindow& window) {
    if (!logEnabled_.load())
        return;
    AppendPiece(window, "\n");
    logEnabled_.store(false);
}

}  // namespace morvane::transmit
