#pragma once
// The UDP socket that OSC arrives on, and the loop that waits for datagrams
// and for the update times.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "tools/acquire/osc_options.h"

namespace feltrix {
class UdpSocket;
}

namespace eegsim {

class OscListener {
public:
    // Opens the socket; null with a one-line message naming the port (and
    // the address) when it is bad or cannot be had.
    static std::unique_ptr<OscListener> open(const OscOptions& options, std::string& error);
    ~OscListener();
    OscListener(const OscListener&) = delete;
    OscListener& operator=(const OscListener&) = delete;

    int port() const { return port_; }
    // "address:port" of the latest datagram's sender ("" before the first).
    const std::string& sender() const { return sender_; }

    // Calls `datagram` for each datagram as it arrives and `update` every
    // `periodSeconds`, until `update` returns false.
    void run(double periodSeconds, const std::function<void(const char* data, std::size_t size)>& datagram,
             const std::function<bool()>& update);

private:
    OscListener() = default;
    void noteSender(std::uint32_t address, int port);

    std::unique_ptr<feltrix::UdpSocket> socket_;
    int port_ = 0;
    std::string sender_;
    std::uint32_t senderAddress_ = 0;
    int senderPort_ = -1;
};

// Parses "a.b.c.d"; false for anything else.
bool parseIpv4Address(const std::string& text, unsigned long& address);

}  // namespace eegsim
