#pragma once
// OSC packets to host:port over UDP, for the script functions: one
// non-blocking connected socket per destination, kept and reused; host names
// resolved by the resolver thread (host_resolver.h). Nothing here waits for
// the network. Main thread only.
#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "osc/udp_socket.h"

namespace feltrix {

// The reasons a send returns instead of success.
namespace osc_reason {
constexpr const char* kResolving = "resolving";
constexpr const char* kHostNotFound = "host not found";
constexpr const char* kRefused = "connection refused";
constexpr const char* kUnreachable = "network unreachable";
constexpr const char* kBufferFull = "send buffer full";
constexpr const char* kTooLarge = "message too large";
constexpr const char* kDenied = "permission denied";
constexpr const char* kNetworkError = "network error";
}  // namespace osc_reason

class OscSender {
public:
    // More destinations than this and all sockets are closed and made anew
    // as needed (a script sweeping ports must not use up the descriptors).
    static constexpr std::size_t kMaxDestinations = 64;

    // Hands `packet` to the network. Returns nullptr when it was, otherwise
    // the reason (osc_reason). The first failure of each kind per destination
    // prints one warning line; "resolving" is no failure and prints nothing.
    const char* send(const char* host, int port, const char* packet, std::size_t size);
    // A failure found before sending (the message did not fit a datagram):
    // warned about like the others; returns `reason`.
    const char* fail(const char* host, int port, const char* reason, const std::string& detail = {});

private:
    struct Destination {
        std::string host;
        int port = 0;
        UdpSocket socket;
    };
    Destination& destinationFor(const char* host, int port);
    const char* connect(Destination& destination);

    std::unordered_map<std::string, std::unique_ptr<Destination>> destinations_;
    std::unordered_set<std::string> warned_;  // "host:port: reason"
    std::string key_;                         // reused for lookups
};

// The program's sender.
OscSender& oscSender();

}  // namespace feltrix
