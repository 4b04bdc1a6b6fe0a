#include "platform/serial/KeyPorts.h"

#include <chrono>
#include <iostream>
#include <thread>
#include <utility>

namespace morvane::platform {

namespace {

// The engine's board commands are 3 bytes: the letter and two zero bytes.
constexpr std::size_t kBoardCommandSize = 3;
constexpr char kBoardRelease[] = {'b', 0, 0, 'e', 0, 0};
// How long the exit release waits for a key action under way; past that
// it releases without the lock, since the process is ending anyway.
constexpr std::chrono::milliseconds kExitLockWait{300};

void DefaultErrorLine(std::string_view line) {
    std::cerr << line << std::endl;
}

ReleaseKind ReleaseKindFor(SerialModeKind mode) {
    return mode == SerialModeKind::Uno ? ReleaseKind::Board : ReleaseKind::Lines;
}

}  // namespace

SerialModeKind ParseSerialMode(std::string_view text) {
    if (text == "RTS")
        return SerialModeKind::Rts;
    if (text == "DTR")
        return SerialModeKind::Dtr;
    if (text == "UNO")
        return SerialModeKind::Uno;
    return SerialModeKind::Other;
}

KeyPorts::KeyPorts(KeyPortsOptions options) : options_(std::move(options)) {
    if (!options_.ErrorLine)
        options_.ErrorLine = DefaultErrorLine;
    if (!options_.ListPorts)
        options_.ListPorts = ListSerialPorts;
    if (!options_.OpenPort)
        options_.OpenPort = [](const std::string& name, const std::string& lockDir) {
            return OpenSerialDevice(name, lockDir);
        };
    InstallEmergencyRelease();
    RegisterExitRelease(*this);
}

KeyPorts::~KeyPorts() {
    UnregisterExitRelease(*this);
    CloseKeyPorts();
}

std::vector<std::string> KeyPorts::ProbeKeyPorts() {
    std::lock_guard control(controlMutex_);
    std::vector<std::string> items = options_.ListPorts();
    bool usbOpen = false;
    {
        std::lock_guard key(keyMutex_);
        usbOpen = devices_.Usb != nullptr;
    }
    if (!usbOpen) {
        UsbKeyLibrary probe(options_.UsbSearchDirs);
        if (probe.Load() && probe.Open(0) >= 0) {
            probe.Close(0);
            usbOpen = true;
        }
    }
    if (usbOpen)
        items.emplace_back(kUsbPortItem);
    return items;
}

std::string KeyPorts::SelectKeyPort(const std::string& item) {
    std::lock_guard control(controlMutex_);
    SerialModeKind mode = ParseSerialMode(serialModeText_);
    CloseDevices(DetachDevices(), mode);
    {
        std::lock_guard key(keyMutex_);
        portLost_ = false;
    }
    keyPortItem_ = item;
    std::string message = item == kUsbPortItem ? OpenUsb() : OpenSerial(item);
    bool opened = false;
    {
        std::lock_guard key(keyMutex_);
        opened = devices_.Serial || devices_.Usb;
    }
    if (opened && options_.SettingChanged)
        options_.SettingChanged("KeyPort", keyPortItem_);
    return message;
}

std::string KeyPorts::OpenUsb() {
    auto usb = std::make_unique<UsbKeyLibrary>(options_.UsbSearchDirs);
    if (!usb->Load())
        return std::string(kUsbNotFoundMessage);
    const int id = usb->Open(0);
    if (id < 0)
        return std::string(kUsbNotFoundMessage);
    {
        std::lock_guard key(keyMutex_);
        SetUsbForCrashRelease(usb->WriteEntry(), id);
        devices_.Usb = std::move(usb);
        devices_.UsbDeviceId = id;
    }
    caption_ = "USBIF4CW";
    return {};
}

// The port is set up before the keying thread can see it.
std::string KeyPorts::OpenSerial(const std::string& item) {
    SerialOpenResult opened = options_.OpenPort(item, options_.LockDir);
    if (!opened.Device)
        return item + std::string(kPortOpenFailedSuffix);
    std::unique_ptr<SerialDevice> serial = std::move(opened.Device);
    lastGlitch_ = opened.LineGlitch;
    const SerialModeKind mode = ParseSerialMode(serialModeText_);
    const int slot =
        RegisterForRelease(serial->Descriptor(), ReleaseKindFor(mode), opened.LockPath);
    if (mode == SerialModeKind::Rts || mode == SerialModeKind::Dtr) {
        // Key up, as a port freshly chosen must never start keyed.
        mode == SerialModeKind::Rts ? serial->SetRts(false) : serial->SetDtr(false);
        portConfigured_ = true;
        caption_ = "COM/" + serialModeText_;
    } else if (mode == SerialModeKind::Uno) {
        // A failed set-up closes the port again; a failed write also marks
        // it lost, so keying does not report it once more.
        const bool configured = serial->ConfigureBoard();
        const bool written = configured && serial->Write("b", 1) && serial->Write("e", 1);
        if (configured)
            caption_ = "COM/UNO";
        if (!written) {
            Report(configured ? kWriteFailedMessage : kBoardSetupFailedMessage);
            UnregisterForRelease(slot);
            std::lock_guard key(keyMutex_);
            portLost_ = configured;
            return {};
        }
        portConfigured_ = true;
    }
    std::lock_guard key(keyMutex_);
    devices_.Serial = std::move(serial);
    devices_.ReleaseSlot = slot;
    return {};
}

void KeyPorts::SelectSerialMode(const std::string& mode) {
    std::lock_guard control(controlMutex_);
    serialModeText_ = mode;
    if (options_.SettingChanged)
        options_.SettingChanged("SerialMode", mode);
    portConfigured_ = true;
    const SerialModeKind kind = ParseSerialMode(mode);
    std::string_view report;
    {
        // Setting up the board is one settings call and a two-byte write;
        // done under the key lock so no key action interleaves with it.
        std::lock_guard key(keyMutex_);
        mode_ = kind;
        if (!devices_.Serial)
            return;
        if (kind == SerialModeKind::Rts || kind == SerialModeKind::Dtr) {
            SetReleaseKind(devices_.ReleaseSlot, ReleaseKind::Lines);
            caption_ = "COM/" + mode;
        } else if (kind == SerialModeKind::Uno && keyPortItem_ != kUsbPortItem) {
            if (!devices_.Serial->ConfigureBoard()) {
                report = kBoardSetupFailedMessage;
                UnregisterForRelease(devices_.ReleaseSlot);
                devices_.Serial.reset();
                devices_.ReleaseSlot = -1;
            } else {
                SetReleaseKind(devices_.ReleaseSlot, ReleaseKind::Board);
                caption_ = "COM/UNO";
                static constexpr char kKeyUp[] = {'b', 0};
                report = WriteBoardLocked(kKeyUp, sizeof kKeyUp);
            }
        }
    }
    Report(report);
}

void KeyPorts::CloseKeyPorts() {
    std::lock_guard control(controlMutex_);
    CloseDevices(DetachDevices(), ParseSerialMode(serialModeText_));
    if (caption_ == "USBIF4CW")
        caption_.clear();
}

KeyPorts::Devices KeyPorts::DetachDevices() {
    std::lock_guard key(keyMutex_);
    // The crash handler must not call into a library about to be unloaded.
    SetUsbForCrashRelease(nullptr, -1);
    return std::exchange(devices_, {});
}

// Leaves the transmitter unkeyed whatever the port was used for; a board
// that cannot take the release any more is not reported again.
void KeyPorts::CloseDevices(Devices devices, SerialModeKind mode) {
    if (devices.Serial) {
        devices.Serial->SetRts(false);
        devices.Serial->SetDtr(false);
        if (mode == SerialModeKind::Uno)
            devices.Serial->Write(kBoardRelease, sizeof kBoardRelease);
        UnregisterForRelease(devices.ReleaseSlot);
    }
    if (devices.Usb && devices.UsbDeviceId >= 0) {
        devices.Usb->WriteData(devices.UsbDeviceId, kUsbKeyUpValue);
        devices.Usb->Close(devices.UsbDeviceId);
    }
}

void KeyPorts::ReleaseForExit() {
    // Polled try_lock rather than a timed lock: the timed lock goes through
    // pthread_mutex_clocklock, which ThreadSanitizer does not see, so every
    // exit would be reported as an unlock of an unlocked mutex.
    std::unique_lock key(keyMutex_, std::defer_lock);
    const auto giveUp = std::chrono::steady_clock::now() + kExitLockWait;
    bool locked = key.try_lock();
    while (!locked && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        locked = key.try_lock();
    }
    if (devices_.Usb && devices_.UsbDeviceId >= 0) {
        devices_.Usb->WriteData(devices_.UsbDeviceId, kUsbKeyUpValue);
        devices_.Usb->Close(devices_.UsbDeviceId);
        if (locked) {
            SetUsbForCrashRelease(nullptr, -1);
            devices_.UsbDeviceId = -1;
        }
    }
}

void KeyPorts::KeyDown() {
    std::string_view report;
    {
        std::lock_guard key(keyMutex_);
        if (!KeyingAllowed())
            return;
        if (devices_.Usb) {
            if (devices_.UsbDeviceId >= 0)
                devices_.Usb->WriteData(devices_.UsbDeviceId, kUsbKeyDownValue);
        } else if (mode_ == SerialModeKind::Uno) {
            report = BoardCommandLocked('a');
        } else {
            LineLocked(true, true);
        }
    }
    Report(report);
}

void KeyPorts::KeyUp() {
    std::string_view report;
    {
        std::lock_guard key(keyMutex_);
        if (devices_.Usb) {
            if (devices_.UsbDeviceId >= 0)
                devices_.Usb->WriteData(devices_.UsbDeviceId, kUsbKeyUpValue);
        } else if (mode_ == SerialModeKind::Uno) {
            report = BoardCommandLocked('b');
        } else {
            LineLocked(true, false);
        }
    }
    Report(report);
}

// PTT goes by the serial mode alone, even while the USB interface keys.
void KeyPorts::PttOn() {
    std::string_view report;
    {
        std::lock_guard key(keyMutex_);
        if (!KeyingAllowed())
            return;
        if (mode_ == SerialModeKind::Uno) {
            report = BoardCommandLocked('d');
        } else {
            LineLocked(false, true);
        }
    }
    Report(report);
}

void KeyPorts::PttOff() {
    std::string_view report;
    {
        std::lock_guard key(keyMutex_);
        if (mode_ == SerialModeKind::Uno) {
            report = BoardCommandLocked('e');
        } else {
            LineLocked(false, false);
        }
    }
    Report(report);
}

// RTS mode keys with RTS and switches PTT with DTR; DTR mode the other way round.
void KeyPorts::LineLocked(bool keyLine, bool on) {
    if (!devices_.Serial || (mode_ != SerialModeKind::Rts && mode_ != SerialModeKind::Dtr)) {
        lastResult_ = false;
        return;
    }
    const bool useRts = (mode_ == SerialModeKind::Rts) == keyLine;
    lastResult_ = useRts ? devices_.Serial->SetRts(on) : devices_.Serial->SetDtr(on);
}

std::string_view KeyPorts::BoardCommandLocked(char letter) {
    const char command[kBoardCommandSize] = {letter, 0, 0};
    return WriteBoardLocked(command, sizeof command);
}

std::string_view KeyPorts::WriteBoardLocked(const char* bytes, std::size_t size) {
    if (devices_.Serial && devices_.Serial->Write(bytes, size))
        return {};
    const bool reported = portLost_;
    portLost_ = portLost_ || devices_.Serial != nullptr;
    if (devices_.Serial) {
        UnregisterForRelease(devices_.ReleaseSlot);
        devices_.Serial.reset();
        devices_.ReleaseSlot = -1;
    }
    return reported ? std::string_view{} : kWriteFailedMessage;
}

void KeyPorts::Report(std::string_view line) {
    if (!line.empty())
        options_.ErrorLine(line);
}

std::string KeyPorts::Caption() const {
    std::lock_guard control(controlMutex_);
    return caption_;
}

std::string KeyPorts::SerialMode() const {
    std::lock_guard control(controlMutex_);
    return serialModeText_;
}

std::string KeyPorts::KeyPortItem() const {
    std::lock_guard control(controlMutex_);
    return keyPortItem_;
}

bool KeyPorts::SerialOpen() const {
    std::lock_guard key(keyMutex_);
    return devices_.Serial != nullptr;
}

bool KeyPorts::UsbActive() const {
    std::lock_guard key(keyMutex_);
    return devices_.Usb != nullptr;
}

bool KeyPorts::PortConfigured() const {
    std::lock_guard control(controlMutex_);
    return portConfigured_;
}

std::chrono::nanoseconds KeyPorts::LastLineGlitch() const {
    std::lock_guard control(controlMutex_);
    return lastGlitch_;
}

}  // namespace morvane::platform
