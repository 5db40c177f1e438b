#include "tools/acquire/osc_listener.h"

#include <cstdlib>
#include <vector>

#include "osc/udp_socket.h"
#include "tools/acquire/system.h"

namespace eegsim {

bool parseIpv4Address(const std::string& text, unsigned long& address) {
    address = 0;
    std::size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0 && (at >= text.size() || text[at++] != '.')) return false;
        std::size_t digits = 0;
        unsigned long value = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 3) {
            value = value * 10 + static_cast<unsigned long>(text[at++] - '0');
            ++digits;
        }
        if (digits == 0 || value > 255) return false;
        address = (address << 8) | value;
    }
    return at == text.size();
}

std::unique_ptr<OscListener> OscListener::open(const OscOptions& options, std::string& error) {
    char* end = nullptr;
    const long port = std::strtol(options.port.c_str(), &end, 10);
    if (options.port.empty() || *end != '\0' || port < 1 || port > 65535) {
        error = "bad UDP port for --osc: \"" + options.port + "\" (1 to 65535)";
        return nullptr;
    }
    unsigned long address = 0;  // every interface
    if (!options.bindAddress.empty() && !parseIpv4Address(options.bindAddress, address)) {
        error = "bad address for --osc-bind: \"" + options.bindAddress + "\" (an IPv4 address such as 127.0.0.1)";
        return nullptr;
    }
    std::unique_ptr<OscListener> listener(new OscListener());
    listener->port_ = static_cast<int>(port);
    listener->socket_ = std::make_unique<feltrix::UdpSocket>();
    std::string systemError;
    if (!listener->socket_->bind(static_cast<std::uint32_t>(address), static_cast<int>(port), systemError)) {
        error = options.bindAddress.empty()
                    ? "cannot listen on UDP port " + options.port + ": it is in use by another program"
                    : "cannot listen on UDP port " + options.port + " of " + options.bindAddress +
                          ": the port is in use, or the address is not one of this computer's";
        return nullptr;
    }
    return listener;
}

OscListener::~OscListener() = default;

void OscListener::noteSender(std::uint32_t address, int port) {
    if (address == senderAddress_ && port == senderPort_) return;
    senderAddress_ = address;
    senderPort_ = port;
    sender_ = std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 255) + "." +
              std::to_string((address >> 8) & 255) + "." + std::to_string(address & 255) + ":" +
              std::to_string(port);
}

void OscListener::run(double period, const std::function<void(const char*, std::size_t)>& datagram,
                      const std::function<bool()>& update) {
    // Room for the largest UDP datagram, so that a long one is seen whole
    // (and counted as too long) rather than cut.
    std::vector<char> buffer(65536);
    // The updates keep time on the clock that never jumps: a step of the
    // wall clock (or a millisecond counter's wrap) must not stall them.
    double next = monotonicSeconds() + period;
    for (;;) {
        const double now = monotonicSeconds();
        if (now >= next) {
            if (!update()) return;
            next += period;
            if (next < now) next = now + period;  // after a stall, no burst of updates
            continue;
        }
        std::uint32_t address = 0;
        int port = 0;
        const long size = socket_->receive(buffer.data(), buffer.size(), next - now, address, port);
        if (size < 0) continue;
        noteSender(address, port);
        datagram(buffer.data(), static_cast<std::size_t>(size));
    }
}

}  // namespace eegsim
