#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "osc/udp_socket.h"

namespace feltrix {
namespace {

static_assert(sizeof(sockaddr_in6) <= sizeof(SocketAddress::bytes), "room for an IPv6 address");

bool copyAddress(const sockaddr* from, socklen_t length, SocketAddress& address) {
    if (length > static_cast<socklen_t>(sizeof address.bytes)) return false;
    std::memcpy(address.bytes, from, length);
    address.length = static_cast<int>(length);
    return true;
}

// The first IPv4 address getaddrinfo gives for `host`, else its first IPv6
// one: receivers (synthesisers, oscdump) mostly listen on IPv4 only, and
// "localhost" often lists ::1 first.
int lookUp(const char* host, int flags, SocketAddress& address) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = flags;
    addrinfo* found = nullptr;
    const int status = getaddrinfo(host, nullptr, &hints, &found);
    if (status != 0) return status;
    const addrinfo* chosen = nullptr;
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET) {
            chosen = entry;
            break;
        }
        if (entry->ai_family == AF_INET6 && chosen == nullptr) chosen = entry;
    }
    const bool copied = chosen != nullptr && copyAddress(chosen->ai_addr, chosen->ai_addrlen, address);
    freeaddrinfo(found);
    return copied ? 0 : EAI_NONAME;
}

SendOutcome outcomeOf(int error) {
    switch (error) {
        case EAGAIN:
#if EWOULDBLOCK != EAGAIN
        case EWOULDBLOCK:
#endif
        case ENOBUFS:
            return SendOutcome::wouldBlock;
        case ECONNREFUSED:
            return SendOutcome::refused;
        case ENETUNREACH:
        case EHOSTUNREACH:
        case ENETDOWN:
        case EADDRNOTAVAIL:
            return SendOutcome::unreachable;
        case EMSGSIZE:
            return SendOutcome::tooLarge;
        case EACCES:
        case EPERM:
            return SendOutcome::denied;
        default:
            return SendOutcome::failed;
    }
}

}  // namespace

bool parseNumericAddress(const char* host, SocketAddress& address) {
    return lookUp(host, AI_NUMERICHOST, address) == 0;
}

bool resolveHostName(const char* host, SocketAddress& address, std::string& error) {
    const int status = lookUp(host, 0, address);
    if (status == 0) return true;
    error = status == EAI_SYSTEM ? std::strerror(errno) : gai_strerror(status);
    return false;
}

SocketAddress withPort(const SocketAddress& address, int port) {
    SocketAddress result = address;
    sockaddr* raw = reinterpret_cast<sockaddr*>(result.bytes);
    if (raw->sa_family == AF_INET) reinterpret_cast<sockaddr_in*>(result.bytes)->sin_port = htons(port);
    if (raw->sa_family == AF_INET6) reinterpret_cast<sockaddr_in6*>(result.bytes)->sin6_port = htons(port);
    return result;
}

SendOutcome UdpSocket::open(const SocketAddress& destination) {
    close();
    const sockaddr* peer = reinterpret_cast<const sockaddr*>(destination.bytes);
    const int fd = socket(peer->sa_family, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return outcomeOf(errno);
    if (connect(fd, peer, static_cast<socklen_t>(destination.length)) != 0) {
        const int error = errno;
        ::close(fd);
        return outcomeOf(error);
    }
    handle_ = fd;
    return SendOutcome::sent;
}

SendOutcome UdpSocket::send(const void* data, std::size_t size) {
    if (!isOpen()) return SendOutcome::failed;
    const ssize_t written = ::send(static_cast<int>(handle_), data, size, MSG_DONTWAIT | MSG_NOSIGNAL);
    return written < 0 ? outcomeOf(errno) : SendOutcome::sent;
}

bool UdpSocket::bind(std::uint32_t address, int port, std::string& error) {
    close();
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(address);
    local.sin_port = htons(static_cast<std::uint16_t>(port));
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        error = std::strerror(errno);
        if (fd >= 0) ::close(fd);
        return false;
    }
    handle_ = fd;
    return true;
}

long UdpSocket::receive(char* buffer, std::size_t capacity, double seconds, std::uint32_t& fromAddress,
                        int& fromPort) {
    if (!isOpen()) return -1;
    pollfd waiting{static_cast<int>(handle_), POLLIN, 0};
    const int milliseconds = static_cast<int>(std::ceil(std::max(0.0, seconds) * 1000.0));
    if (poll(&waiting, 1, milliseconds) <= 0) return -1;  // none in time, or a signal
    sockaddr_in sender{};
    socklen_t length = sizeof sender;
    const ssize_t size =
        recvfrom(static_cast<int>(handle_), buffer, capacity, 0, reinterpret_cast<sockaddr*>(&sender), &length);
    if (size < 0) return -1;
    fromAddress = ntohl(sender.sin_addr.s_addr);
    fromPort = ntohs(sender.sin_port);
    return static_cast<long>(size);
}

void UdpSocket::close() {
    if (!isOpen()) return;
    ::close(static_cast<int>(handle_));
    handle_ = kNoSocket;
}

}  // namespace feltrix
