#include "tools/acquire/osc_listener.h"

#include <oscpack/ip/IpEndpointName.h>
#include <oscpack/ip/PacketListener.h>
#include <oscpack/ip/TimerListener.h>
#include <oscpack/ip/UdpSocket.h>

#include <cstdlib>
#include <stdexcept>

namespace eegsim {

struct OscListener::Socket : PacketListener, TimerListener {
    UdpReceiveSocket socket;
    SocketReceiveMultiplexer multiplexer;
    OscListener* owner = nullptr;
    const std::function<void(const char*, std::size_t)>* datagram = nullptr;
    const std::function<bool()>* update = nullptr;

    explicit Socket(const IpEndpointName& endpoint) : socket(endpoint) {}

    void ProcessPacket(const char* data, int size, const IpEndpointName& from) override {
        if (from.address != owner->senderAddress_ || from.port != owner->senderPort_) {
            char text[IpEndpointName::ADDRESS_AND_PORT_STRING_LENGTH];
            from.AddressAndPortAsString(text);
            owner->sender_ = text;
            owner->senderAddress_ = from.address;
            owner->senderPort_ = from.port;
        }
        (*datagram)(data, static_cast<std::size_t>(size));
    }
    void TimerExpired() override {
        if (!(*update)()) multiplexer.Break();
    }
};

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
    unsigned long address = IpEndpointName::ANY_ADDRESS;
    if (!options.bindAddress.empty() && !parseIpv4Address(options.bindAddress, address)) {
        error = "bad address for --osc-bind: \"" + options.bindAddress + "\" (an IPv4 address such as 127.0.0.1)";
        return nullptr;
    }
    std::unique_ptr<OscListener> listener(new OscListener());
    listener->port_ = static_cast<int>(port);
    try {
        listener->socket_ = std::make_unique<Socket>(IpEndpointName(address, static_cast<int>(port)));
    } catch (const std::exception&) {
        error = options.bindAddress.empty()
                    ? "cannot listen on UDP port " + options.port + ": it is in use by another program"
                    : "cannot listen on UDP port " + options.port + " of " + options.bindAddress +
                          ": the port is in use, or the address is not one of this computer's";
        return nullptr;
    }
    listener->socket_->owner = listener.get();
    return listener;
}

OscListener::~OscListener() = default;

void OscListener::run(int periodMs, const std::function<void(const char*, std::size_t)>& datagram,
                      const std::function<bool()>& update) {
    socket_->datagram = &datagram;
    socket_->update = &update;
    socket_->multiplexer.AttachSocketListener(&socket_->socket, socket_.get());
    socket_->multiplexer.AttachPeriodicTimerListener(periodMs, socket_.get());
    socket_->multiplexer.Run();
    socket_->multiplexer.DetachPeriodicTimerListener(socket_.get());
    socket_->multiplexer.DetachSocketListener(&socket_->socket, socket_.get());
}

}  // namespace eegsim
