#include <libserialport.h>

#include "platform/serial/SerialDevices.h"

namespace morvane::platform::detail {

namespace {

constexpr unsigned kWriteTimeoutMs = 200;

class LibSerialPortDevice final : public SerialDevice {
  public:
    explicit LibSerialPortDevice(sp_port* port) : port_(port) {}
    ~LibSerialPortDevice() override {
        sp_close(port_);
        sp_free_port(port_);
    }
    bool SetRts(bool on) override {
        return sp_set_rts(port_, on ? SP_RTS_ON : SP_RTS_OFF) == SP_OK;
    }
    bool SetDtr(bool on) override {
        return sp_set_dtr(port_, on ? SP_DTR_ON : SP_DTR_OFF) == SP_OK;
    }
    bool ConfigureBoard() override {
        return sp_set_baudrate(port_, 115200) == SP_OK && sp_set_bits(port_, 8) == SP_OK &&
               sp_set_parity(port_, SP_PARITY_NONE) == SP_OK &&
               sp_set_stopbits(port_, 1) == SP_OK &&
               sp_set_flowcontrol(port_, SP_FLOWCONTROL_NONE) == SP_OK;
    }
    bool Write(const void* data, std::size_t size) override {
        sp_return written = sp_blocking_write(port_, data, size, kWriteTimeoutMs);
        return written >= 0 && static_cast<std::size_t>(written) == size;
    }
    int Descriptor() const override {
        int fd = -1;
        sp_get_port_handle(port_, &fd);
        return fd;
    }

  private:
    sp_port* port_;
};

}  // namespace

std::unique_ptr<SerialDevice> OpenLibSerialPort(const std::string& name) {
    sp_port* port = nullptr;
    if (sp_get_port_by_name(name.c_str(), &port) != SP_OK)
        return nullptr;
    if (sp_open(port, SP_MODE_READ_WRITE) != SP_OK) {
        sp_free_port(port);
        return nullptr;
    }
    return std::make_unique<LibSerialPortDevice>(port);
}

std::vector<std::string> LibSerialPortNames() {
    std::vector<std::string> names;
    sp_port** ports = nullptr;
    if (sp_list_ports(&ports) != SP_OK)
        return names;
    for (sp_port** port = ports; *port != nullptr; ++port)
        names.emplace_back(sp_get_port_name(*port));
    sp_free_port_list(ports);
    return names;
}

}  // namespace morvane::platform::detail
