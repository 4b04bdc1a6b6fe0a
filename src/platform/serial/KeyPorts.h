// The keying outputs: a serial port whose RTS or DTR line keys the
// transmitter (the other line is PTT), the serial keyer board ("UNO") with
// its one-letter commands, or the USBIF4CW interface. Port choice and mode
// come from the user-interface thread; the four keying actions from the
// keying thread, so the two meet under one short lock.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/serial/SerialDevice.h"
#include "platform/usb/UsbKeyLibrary.h"
#include "transmit/KeyOutput.h"

namespace morvane::platform {

inline constexpr std::string_view kUsbPortItem = "USBIF";
inline constexpr std::string_view kUsbNotFoundMessage = "USBIF4CWが見つかりませんでした。";
inline constexpr std::string_view kPortOpenFailedSuffix = "ポートが開けませんでした。";
inline constexpr std::string_view kBoardSetupFailedMessage = "通信設定の変更に失敗しました。";
inline constexpr std::string_view kWriteFailedMessage = "データの送信に失敗しました。";

struct KeyPortsOptions {
    // Where the USB keying library is looked for first (empty: beside the executable).
    std::vector<std::string> UsbSearchDirs{};
    // One standard-error line (UTF-8, without the end of line).
    std::function<void(std::string_view)> ErrorLine{};
    // A setting changed: "KeyPort" with the port item, "SerialMode" with the mode.
    std::function<void(std::string_view, std::string_view)> SettingChanged{};
};

class KeyPorts final : public transmit::KeyOutput {
  public:
    explicit KeyPorts(KeyPortsOptions options = {});
    ~KeyPorts() override;

    // The serial ports that open, then "USBIF" when the USB library answers.
    std::vector<std::string> ProbeKeyPorts();
    // Opens `item` ("USBIF" or a serial port name). Returns the message to show
    // when it fails (empty on success).
    std::string SelectKeyPort(const std::string& item);
    // "RTS", "DTR" or "UNO".
    void SelectSerialMode(const std::string& mode);
    // Shutdown: key and PTT released, USB closed and unloaded, port closed.
    void CloseKeyPorts();

    // KeyOutput, from the keying thread (and F12 for the manual key).
    void KeyDown() override;
    void KeyUp() override;
    void PttOn() override;
    void PttOff() override;

    std::string Caption() const;  // "COM/RTS", "COM/DTR", "COM/UNO", "USBIF4CW" or ""
    std::string SerialMode() const;
    std::string KeyPortItem() const;
    bool SerialOpen() const;
    bool UsbActive() const;
    bool PortConfigured() const;
    // How long DTR/RTS stayed raised after the last open, at most.
    std::chrono::nanoseconds LastLineGlitch() const;

  private:
    void CloseSerialLocked();
    void CloseUsbLocked();
    bool ConfigureBoardLocked();
    bool WriteBoardLocked(const char* bytes, std::size_t size);
    void BoardCommandLocked(char letter);
    void LineLocked(bool keyLine, bool on);
    void ReportLocked(std::string_view line);

    KeyPortsOptions options_;
    mutable std::mutex mutex_;
    std::unique_ptr<SerialDevice> serial_;
    int releaseSlot_ = -1;
    UsbKeyLibrary usb_;
    bool usbActive_ = false;
    int usbDeviceId_ = -1;
    std::string keyPortItem_;
    std::string serialMode_ = "RTS";
    std::string caption_;
    bool portConfigured_ = false;
    // A board write failed and closed the port: later writes stay quiet
    // until a port is chosen again, so a lost port is reported once.
    bool portLost_ = false;
    bool lastResult_ = true;  // `LastResult` of the last line-control call
    std::chrono::nanoseconds lastGlitch_{0};
};

}  // namespace morvane::platform
