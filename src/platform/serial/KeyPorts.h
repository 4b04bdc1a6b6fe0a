// The keying outputs: a serial port whose RTS or DTR line keys the
// transmitter (the other line is PTT), the serial keyer board ("UNO") with
// its one-letter commands, or the USBIF4CW interface. Port choice and mode
// come from the user-interface thread; the four keying actions from the
// keying thread. The two meet under a key lock that the user-interface side
// holds only to swap an opened device in or out, never while it opens ports,
// loads the library or probes, so nothing there delays a key action.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/serial/EmergencyRelease.h"
#include "platform/serial/SerialDevice.h"
#include "platform/usb/UsbKeyLibrary.h"
#include "transmit/KeyOutput.h"

namespace morvane::platform {

inline constexpr std::string_view kUsbPortItem = "USBIF";
inline constexpr std::string_view kUsbNotFoundMessage = "USBIF4CWが見つかりませんでした。";
inline constexpr std::string_view kPortOpenFailedSuffix = "ポートが開けませんでした。";
inline constexpr std::string_view kBoardSetupFailedMessage = "通信設定の変更に失敗しました。";
inline constexpr std::string_view kWriteFailedMessage = "データの送信に失敗しました。";

// How a serial port is used: the menu's "RTS", "DTR" or "UNO"; any other
// stored text opens the port and drives nothing.
enum class SerialModeKind { Rts, Dtr, Uno, Other };
SerialModeKind ParseSerialMode(std::string_view text);

struct KeyPortsOptions {
    // Where the USB keying library is looked for first (empty: beside the executable).
    std::vector<std::string> UsbSearchDirs{};
    // One standard-error line (UTF-8, without the end of line).
    std::function<void(std::string_view)> ErrorLine{};
    // A setting changed: "KeyPort" with the port item, "SerialMode" with the mode.
    std::function<void(std::string_view, std::string_view)> SettingChanged{};
    // The serial ports to offer (default: the serial library's list).
    std::function<std::vector<std::string>()> ListPorts{};
    // Opens a serial port for use (default: OpenSerialDevice).
    std::function<SerialOpenResult(const std::string&, const std::string&)> OpenPort{};
    // Where serial lock files live.
    std::string LockDir = kDefaultLockDir;
};

class KeyPorts final : public transmit::KeyOutput, private ExitRelease {
  public:
    explicit KeyPorts(KeyPortsOptions options = {});
    ~KeyPorts() override;
    KeyPorts(const KeyPorts&) = delete;
    KeyPorts& operator=(const KeyPorts&) = delete;

    // The serial ports present, then "USBIF" when the USB library answers.
    // Serial ports are listed without opening them: opening one raises its
    // lines, and a port another program uses must not be touched.
    std::vector<std::string> ProbeKeyPorts();
    // Opens `item` ("USBIF" or a serial port name). Returns the message to show
    // when it fails (empty on success); a port another program holds fails.
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
    // What the keying thread drives, moved in and out under the key lock.
    struct Devices {
        std::unique_ptr<SerialDevice> Serial;
        int ReleaseSlot = -1;
        std::unique_ptr<UsbKeyLibrary> Usb;
        int UsbDeviceId = -1;
    };

    void ReleaseForExit() override;
    Devices DetachDevices();
    void CloseDevices(Devices devices, SerialModeKind mode);
    std::string OpenUsb();
    std::string OpenSerial(const std::string& item);
    // Key-path helpers, under the key lock; a returned message is reported
    // after the lock is left.
    std::string_view BoardCommandLocked(char letter);
    std::string_view WriteBoardLocked(const char* bytes, std::size_t size);
    void LineLocked(bool keyLine, bool on);
    void Report(std::string_view line);

    KeyPortsOptions options_;

    // User-interface side: held through whole operations (opening, probing).
    mutable std::mutex controlMutex_;
    std::string keyPortItem_;
    std::string serialModeText_ = "RTS";
    std::string caption_;
    bool portConfigured_ = false;
    std::chrono::nanoseconds lastGlitch_{0};

    // Key path: held for one device call or a swap, nothing slower.
    mutable std::mutex keyMutex_;
    Devices devices_;
    SerialModeKind mode_ = SerialModeKind::Rts;
    // A board write failed and closed the port: later writes stay quiet
    // until a port is chosen again, so a lost port is reported once.
    bool portLost_ = false;
    bool lastResult_ = true;  // `LastResult` of the last line-control call
};

}  // namespace morvane::platform
