#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

#include "common/text_win32.h"
#include "osc/udp_socket.h"

namespace feltrix {
namespace {

static_assert(sizeof(sockaddr_in6) <= sizeof(SocketAddress::bytes), "room for an IPv6 address");

// Winsock is started once, by whichever thread first needs it, and stays
// started until the process ends.
bool startWinsock() {
    static std::once_flag once;
    static bool started = false;
    std::call_once(once, [] {
        WSADATA data;
        started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    });
    return started;
}

bool copyAddress(const sockaddr* from, size_t length, SocketAddress& address) {
    if (length > sizeof address.bytes) return false;
    std::memcpy(address.bytes, from, length);
    address.length = static_cast<int>(length);
    return true;
}

// As on POSIX: the first IPv4 address, else the first IPv6 one.
int lookUp(const char* host, int flags, SocketAddress& address) {
    if (!startWinsock()) return WSANOTINITIALISED;
    ADDRINFOW hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = flags;
    ADDRINFOW* found = nullptr;
    const int status = GetAddrInfoW(utf8ToWide(host).c_str(), nullptr, &hints, &found);
    if (status != 0) return status;
    const ADDRINFOW* chosen = nullptr;
    for (const ADDRINFOW* entry = found; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET) {
            chosen = entry;
            break;
        }
        if (entry->ai_family == AF_INET6 && chosen == nullptr) chosen = entry;
    }
    const bool copied = chosen != nullptr && copyAddress(chosen->ai_addr, chosen->ai_addrlen, address);
    FreeAddrInfoW(found);
    return copied ? 0 : WSAHOST_NOT_FOUND;
}

SendOutcome outcomeOf(int error) {
    switch (error) {
        case WSAEWOULDBLOCK:
        case WSAENOBUFS:
            return SendOutcome::wouldBlock;
        // Winsock reports an earlier datagram's "port unreachable" as a reset.
        case WSAECONNREFUSED:
        case WSAECONNRESET:
            return SendOutcome::refused;
        case WSAENETUNREACH:
        case WSAEHOSTUNREACH:
        case WSAENETDOWN:
        case WSAEADDRNOTAVAIL:
            return SendOutcome::unreachable;
        case WSAEMSGSIZE:
            return SendOutcome::tooLarge;
        case WSAEACCES:
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
    error = wideToUtf8(systemMessage(static_cast<unsigned long>(status)));
    return false;
}

SocketAddress withPort(const SocketAddress& address, int port) {
    SocketAddress result = address;
    sockaddr* raw = reinterpret_cast<sockaddr*>(result.bytes);
    const u_short networkPort = htons(static_cast<u_short>(port));
    if (raw->sa_family == AF_INET) reinterpret_cast<sockaddr_in*>(result.bytes)->sin_port = networkPort;
    if (raw->sa_family == AF_INET6) reinterpret_cast<sockaddr_in6*>(result.bytes)->sin6_port = networkPort;
    return result;
}

SendOutcome UdpSocket::open(const SocketAddress& destination) {
    close();
    if (!startWinsock()) return SendOutcome::failed;
    const sockaddr* peer = reinterpret_cast<const sockaddr*>(destination.bytes);
    const SOCKET s = socket(peer->sa_family, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET) return outcomeOf(WSAGetLastError());
    u_long nonBlocking = 1;
    if (ioctlsocket(s, FIONBIO, &nonBlocking) != 0 || connect(s, peer, destination.length) != 0) {
        const int error = WSAGetLastError();
        closesocket(s);
        return outcomeOf(error);
    }
    handle_ = static_cast<std::intptr_t>(s);
    return SendOutcome::sent;
}

SendOutcome UdpSocket::send(const void* data, std::size_t size) {
    if (!isOpen()) return SendOutcome::failed;
    const int written =
        ::send(static_cast<SOCKET>(handle_), static_cast<const char*>(data), static_cast<int>(size), 0);
    return written == SOCKET_ERROR ? outcomeOf(WSAGetLastError()) : SendOutcome::sent;
}

bool UdpSocket::bind(std::uint32_t address, int port, std::string& error) {
    close();
    if (!startWinsock()) {
        error = "Winsock did not start";
        return false;
    }
    const SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(address);
    local.sin_port = htons(static_cast<u_short>(port));
    // Exclusive use, where the system offers it: otherwise another program
    // that asks to share the port could take the datagrams.
    BOOL exclusive = TRUE;
    if (s != INVALID_SOCKET)
        setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive), sizeof exclusive);
    // An event set when a datagram arrives: waiting on it is cheaper than
    // select() under wine. Asking for it makes the socket non-blocking.
    const HANDLE readable = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (s == INVALID_SOCKET || readable == nullptr ||
        ::bind(s, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
        WSAEventSelect(s, readable, FD_READ) != 0) {
        error = wideToUtf8(systemMessage(static_cast<unsigned long>(WSAGetLastError())));
        if (s != INVALID_SOCKET) closesocket(s);
        if (readable != nullptr) CloseHandle(readable);
        return false;
    }
    handle_ = static_cast<std::intptr_t>(s);
    readable_ = readable;
    return true;
}

long UdpSocket::receive(char* buffer, std::size_t capacity, double seconds, std::uint32_t& fromAddress,
                        int& fromPort) {
    if (!isOpen()) return -1;
    const SOCKET s = static_cast<SOCKET>(handle_);
    sockaddr_in sender{};
    int length = sizeof sender;
    auto receiveOne = [&] {
        return recvfrom(s, buffer, static_cast<int>(capacity), 0, reinterpret_cast<sockaddr*>(&sender), &length);
    };
    int size = receiveOne();
    if (size == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
        // Nothing waiting: the event is set when the next datagram comes
        // (each receive asks for it anew).
        const DWORD milliseconds = static_cast<DWORD>(std::ceil(std::max(0.0, seconds) * 1000.0));
        if (WaitForSingleObject(static_cast<HANDLE>(readable_), milliseconds) != WAIT_OBJECT_0) return -1;
        size = receiveOne();
    }
    // A datagram longer than the buffer still arrives, cut to its size.
    if (size == SOCKET_ERROR && WSAGetLastError() == WSAEMSGSIZE) size = static_cast<int>(capacity);
    if (size == SOCKET_ERROR) return -1;
    fromAddress = ntohl(sender.sin_addr.s_addr);
    fromPort = ntohs(sender.sin_port);
    return size;
}

void UdpSocket::close() {
    if (!isOpen()) return;
    closesocket(static_cast<SOCKET>(handle_));
    handle_ = kNoSocket;
    if (readable_ != nullptr) CloseHandle(static_cast<HANDLE>(readable_));
    readable_ = nullptr;
}

}  // namespace feltrix
