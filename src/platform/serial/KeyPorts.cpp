#include "platform/serial/KeyPorts.h"

#include <iostream>

#include "platform/serial/EmergencyRelease.h"

namespace morvane::platform {

namespace {

// The engine's board commands are 3 bytes: the letter and two zero bytes.
constexpr std::size_t kBoardCommandSize = 3;

void DefaultErrorLine(std::string_view line) {
    std::cerr << line << std::endl;
}

}  // namespace

KeyPorts::KeyPorts(KeyPortsOptions options)
    : options_(std::move(options)), usb_(options_.UsbSearchDirs) {
    if (!options_.ErrorLine)
        options_.ErrorLine = DefaultErrorLine;
    InstallEmergencyRelease();
}

KeyPorts::~KeyPorts() {
    CloseKeyPorts();
}

std::vector<std::string> KeyPorts::ProbeKeyPorts() {
    std::vector<std::string> items;
    std::lock_guard lock(mutex_);
    for (const std::string& name : ListSerialPorts()) {
        if (serial_ && name == keyPortItem_) {
            items.push_back(name);  // ours, already open
        } else if (OpenSerialDevice(name).Device) {
            items.push_back(name);
        }
    }
    if (!usbActive_) {
        UsbKeyLibrary probe(options_.UsbSearchDirs);
        if (probe.Load() && probe.Open(0) >= 0) {
            probe.Close(0);
            items.emplace_back(kUsbPortItem);
        }
    } else {
        items.emplace_back(kUsbPortItem);
    }
    return items;
}

std::string KeyPorts::SelectKeyPort(const std::string& item) {
    std::lock_guard lock(mutex_);
    CloseSerialLocked();
    CloseUsbLocked();
    portLost_ = false;
    keyPortItem_ = item;
    if (item == kUsbPortItem) {
        if (!usb_.Load())
            return std::string(kUsbNotFoundMessage);
        usbDeviceId_ = usb_.Open(0);
        if (usbDeviceId_ < 0) {
            usb_.Unload();
            return std::string(kUsbNotFoundMessage);
        }
        usbActive_ = true;
        caption_ = "USBIF4CW";
    } else {
        SerialOpenResult opened = OpenSerialDevice(item);
        if (!opened.Device)
            return item + std::string(kPortOpenFailedSuffix);
        serial_ = std::move(opened.Device);
        lastGlitch_ = opened.LineGlitch;
        bool board = serialMode_ == "UNO";
        releaseSlot_ = RegisterForRelease(serial_->Descriptor(),
                                          board ? ReleaseKind::Board : ReleaseKind::Lines);
        if (serialMode_ == "RTS" || serialMode_ == "DTR") {
            LineLocked(true, false);
            portConfigured_ = true;
            caption_ = "COM/" + serialMode_;
        } else if (board && ConfigureBoardLocked()) {
            caption_ = "COM/UNO";
            if (WriteBoardLocked("b", 1) && WriteBoardLocked("e", 1))
                portConfigured_ = true;
        }
    }
    if ((serial_ || usbActive_) && options_.SettingChanged) {
        options_.SettingChanged("KeyPort", keyPortItem_);
    }
    return {};
}

void KeyPorts::SelectSerialMode(const std::string& mode) {
    std::lock_guard lock(mutex_);
    serialMode_ = mode;
    if (options_.SettingChanged)
        options_.SettingChanged("SerialMode", mode);
    portConfigured_ = true;
    if (!serial_)
        return;
    if (mode == "RTS" || mode == "DTR") {
        SetReleaseKind(releaseSlot_, ReleaseKind::Lines);
        caption_ = "COM/" + mode;
    } else if (mode == "UNO" && keyPortItem_ != kUsbPortItem && ConfigureBoardLocked()) {
        SetReleaseKind(releaseSlot_, ReleaseKind::Board);
        caption_ = "COM/UNO";
        static constexpr char kKeyUp[] = {'b', 0};
        WriteBoardLocked(kKeyUp, sizeof kKeyUp);
    }
}

void KeyPorts::CloseKeyPorts() {
    std::lock_guard lock(mutex_);
    CloseUsbLocked();
    CloseSerialLocked();
}

void KeyPorts::KeyDown() {
    std::lock_guard lock(mutex_);
    if (usbActive_) {
        usb_.WriteData(usbDeviceId_, kUsbKeyDownValue);
    } else if (serialMode_ == "UNO") {
        BoardCommandLocked('a');
    } else {
        LineLocked(true, true);
    }
}

void KeyPorts::KeyUp() {
    std::lock_guard lock(mutex_);
    if (usbActive_) {
        usb_.WriteData(usbDeviceId_, kUsbKeyUpValue);
    } else if (serialMode_ == "UNO") {
        BoardCommandLocked('b');
    } else {
        LineLocked(true, false);
    }
}

// PTT goes by the serial mode alone, even while the USB interface keys.
void KeyPorts::PttOn() {
    std::lock_guard lock(mutex_);
    if (serialMode_ == "UNO") {
        BoardCommandLocked('d');
    } else {
        LineLocked(false, true);
    }
}

void KeyPorts::PttOff() {
    std::lock_guard lock(mutex_);
    if (serialMode_ == "UNO") {
        BoardCommandLocked('e');
    } else {
        LineLocked(false, false);
    }
}

// RTS mode keys with RTS and switches PTT with DTR; DTR mode the other way round.
void KeyPorts::LineLocked(bool keyLine, bool on) {
    if (!serial_) {
        lastResult_ = false;
        return;
    }
    bool useRts = (serialMode_ == "RTS") == keyLine;
    lastResult_ = useRts ? serial_->SetRts(on) : serial_->SetDtr(on);
}

void KeyPorts::BoardCommandLocked(char letter) {
    const char command[kBoardCommandSize] = {letter, 0, 0};
    WriteBoardLocked(command, sizeof command);
}

bool KeyPorts::ConfigureBoardLocked() {
    if (serial_->ConfigureBoard())
        return true;
    ReportLocked(kBoardSetupFailedMessage);
    CloseSerialLocked();
    return false;
}

bool KeyPorts::WriteBoardLocked(const char* bytes, std::size_t size) {
    if (serial_ && serial_->Write(bytes, size))
        return true;
    if (!portLost_)
        ReportLocked(kWriteFailedMessage);
    portLost_ = serial_ != nullptr || portLost_;
    CloseSerialLocked();
    return false;
}

void KeyPorts::ReportLocked(std::string_view line) {
    options_.ErrorLine(line);
}

void KeyPorts::CloseSerialLocked() {
    if (!serial_)
        return;
    // Leave the transmitter unkeyed whatever the port was used for; a board
    // that cannot take the release any more is not reported again.
    serial_->SetRts(false);
    serial_->SetDtr(false);
    if (serialMode_ == "UNO") {
        static constexpr char kRelease[] = {'b', 0, 0, 'e', 0, 0};
        serial_->Write(kRelease, sizeof kRelease);
    }
    UnregisterForRelease(releaseSlot_);
    releaseSlot_ = -1;
    serial_.reset();
}

void KeyPorts::CloseUsbLocked() {
    if (!usbActive_)
        return;
    if (usbDeviceId_ >= 0) {
        usb_.WriteData(usbDeviceId_, kUsbKeyUpValue);
        usb_.Close(usbDeviceId_);
    }
    usb_.Unload();
    usbActive_ = false;
    usbDeviceId_ = -1;
    if (caption_ == "USBIF4CW")
        caption_.clear();
}

std::string KeyPorts::Caption() const {
    std::lock_guard lock(mutex_);
    return caption_;
}

std::string KeyPorts::SerialMode() const {
    std::lock_guard lock(mutex_);
    return serialMode_;
}

std::string KeyPorts::KeyPortItem() const {
    std::lock_guard lock(mutex_);
    return keyPortItem_;
}

bool KeyPorts::SerialOpen() const {
    std::lock_guard lock(mutex_);
    return serial_ != nullptr;
}

bool KeyPorts::UsbActive() const {
    std::lock_guard lock(mutex_);
    return usbActive_;
}

bool KeyPorts::PortConfigured() const {
    std::lock_guard lock(mutex_);
    return portConfigured_;
}

std::chrono::nanoseconds KeyPorts::LastLineGlitch() const {
    std::lock_guard lock(mutex_);
    return lastGlitch_;
}

}  // namespace morvane::platform
