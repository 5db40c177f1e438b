#pragma once
// The operating system's side of OSC: host-name resolution, one non-blocking,
// connected UDP socket per destination for output, and the bound socket that
// the acquisition companion listens on. udp_socket_posix.cpp and
// udp_socket_win32.cpp implement it; nothing here throws.
#include <cstddef>
#include <cstdint>
#include <string>

namespace feltrix {

// An IPv4 or IPv6 address with its port, in the system's own sockaddr form.
struct SocketAddress {
    alignas(8) unsigned char bytes[28] = {};
    int length = 0;  // 0: no address
};

// What became of one attempt to hand a datagram to the network.
enum class SendOutcome {
    sent,
    wouldBlock,   // the socket's send buffer is full
    refused,      // the destination port answered "unreachable" to an earlier datagram
    unreachable,  // no route to the network or host (no network at all, too)
    tooLarge,     // larger than the network takes in one datagram
    denied,       // not allowed (a broadcast address, a firewall)
    failed,       // anything else
};

// `host` as a numeric IPv4 or IPv6 address, without asking any name service
// (never blocks). False when it is not one.
bool parseNumericAddress(const char* host, SocketAddress& address);
// Resolves a host name through the system's name services; may block for
// seconds. On failure returns false and fills `error` with the system's text.
bool resolveHostName(const char* host, SocketAddress& address, std::string& error);
// The same address with `port` in it.
SocketAddress withPort(const SocketAddress& address, int port);

class UdpSocket {
public:
    UdpSocket() = default;
    ~UdpSocket() { close(); }
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    bool isOpen() const { return handle_ != kNoSocket; }
    // Opens a non-blocking socket connected to `destination` (a UDP connect
    // only fixes the peer, nothing goes over the network). On failure the
    // socket stays closed.
    SendOutcome open(const SocketAddress& destination);
    // Hands one datagram to the network without waiting.
    SendOutcome send(const void* data, std::size_t size);
    // Opens a non-blocking socket bound to `port` of the IPv4 address
    // `address` (host byte order; 0 is every interface), for receiving. On
    // failure the socket stays closed and `error` gets the system's text.
    bool bind(std::uint32_t address, int port, std::string& error);
    // Waits at most `seconds` for one datagram and copies it into `buffer`
    // (a datagram longer than `capacity` is cut). Returns its size, or -1
    // when none came in time. The sender's IPv4 address (host byte order)
    // and port go to `fromAddress` and `fromPort`.
    long receive(char* buffer, std::size_t capacity, double seconds, std::uint32_t& fromAddress, int& fromPort);
    void close();

private:
    // A file descriptor, or a Winsock SOCKET (whose INVALID_SOCKET is -1 here too).
    static constexpr std::intptr_t kNoSocket = -1;
    std::intptr_t handle_ = kNoSocket;
    // Windows: the event a bound socket sets when a datagram arrives.
    [[maybe_unused]] void* readable_ = nullptr;
};

}  // namespace feltrix
