// A capture source the program can list, open and stop: the sound card
// (PortAudio), a recording (FileSource) or the built-in demo contact. Opening
// reports failures as the user message to show; nothing here shows it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "receive/BlockSource.h"
#include "receive/CaptureDevices.h"

namespace morvane::platform::audio {

using AudioDevice = receive::CaptureDevice;

class AudioSource : public receive::BlockSource {
  public:
    virtual std::vector<AudioDevice> ListDevices() = 0;

    // Opens 16-bit stereo at 11025 Hz on `deviceId`, or on the default device
    // when it is empty, and starts the ring. Returns the message to show the
    // operator on failure, nothing on success.
    virtual std::optional<std::string> Open(const std::optional<std::string>& deviceId) = 0;

    // Ends the stream; a waiting WaitHalf returns. Open may be called again.
    virtual void Stop() = 0;
};

// Messages shown when sound capture cannot start.
inline constexpr const char* kSoundInitFailed = "サウンドの初期化に失敗しました。";
inline constexpr const char* kSoundDeviceError =
    "サウンドデバイスのエラー!!!\r\nMike/Line/USB入力をチェック願います。";
inline constexpr const char* kLoopStartFailed = "ループ録音の開始に失敗しました。";

}  // namespace morvane::platform::audio
