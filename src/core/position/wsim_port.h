// The W-SIM module's port: opens the serial device for a handset port name, runs the receive
// thread that fills the receive buffer while the port is open, sends commands byte by byte and
// closes again. Does not interpret what the module says; WsimQuery does.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <thread>

#include "core/platform/serial_port.h"
#include "core/position/rx_buffer.h"

namespace zentorak {

class WsimPort {
public:
    // `base` is the folder whose ports/COMn links are honoured (the program's folder).
    explicit WsimPort(std::filesystem::path base);
    ~WsimPort();
    WsimPort(const WsimPort&) = delete;
    WsimPort& operator=(const WsimPort&) = delete;

    // `name` as "COMn:". 1 when open, configured and receiving; 0 on any failure.
    int Open(std::string_view name);
    // Wakes and ends the receive thread, then closes the device. Safe when not open.
    void Close();
    bool IsOpen() const { return port_.IsOpen(); }

    // 1 if written, else the errno; callers ignore failures, as the reply then fails to parse.
    int SendByte(uint8_t byte);
    // Every character's low byte, one write each.
    void SendCommand(std::u16string_view command);

    RxBuffer& Rx() { return rx_; }

private:
    static constexpr size_t kReceiveChunk = 256;

    void ReceiveThread();
    int DrainInput();

    std::filesystem::path base_;
    SerialPort port_;
    int wakeFd_ = -1;  // eventfd that ends the receive thread's wait
    std::thread receiver_;
    RxBuffer rx_;
};

}  // namespace zentorak
