#include "osc/osc_sender.h"

#include <cstdio>

#include "osc/host_resolver.h"

namespace feltrix {
namespace {

const char* reasonFor(SendOutcome outcome) {
    switch (outcome) {
        case SendOutcome::sent:
            return nullptr;
        case SendOutcome::wouldBlock:
            return osc_reason::kBufferFull;
        case SendOutcome::refused:
            return osc_reason::kRefused;
        case SendOutcome::unreachable:
            return osc_reason::kUnreachable;
        case SendOutcome::tooLarge:
            return osc_reason::kTooLarge;
        case SendOutcome::denied:
            return osc_reason::kDenied;
        case SendOutcome::failed:
            break;
    }
    return osc_reason::kNetworkError;
}

}  // namespace

const char* OscSender::send(const char* host, int port, const char* packet, std::size_t size) {
    Destination& destination = destinationFor(host, port);
    if (!destination.socket.isOpen()) {
        if (const char* reason = connect(destination)) return reason;
    }
    const char* reason = reasonFor(destination.socket.send(packet, size));
    return reason != nullptr ? fail(host, port, reason) : nullptr;
}

const char* OscSender::connect(Destination& destination) {
    const HostResolver::Answer answer = hostResolver().lookUp(destination.host);
    if (answer.state == HostResolver::State::resolving) return osc_reason::kResolving;
    if (answer.state == HostResolver::State::failed) {
        return fail(destination.host.c_str(), destination.port, osc_reason::kHostNotFound, answer.error);
    }
    const char* reason = reasonFor(destination.socket.open(withPort(answer.address, destination.port)));
    return reason != nullptr ? fail(destination.host.c_str(), destination.port, reason) : nullptr;
}

OscSender::Destination& OscSender::destinationFor(const char* host, int port) {
    key_.assign(host);
    key_ += '\n';
    key_ += std::to_string(port);
    auto found = destinations_.find(key_);
    if (found != destinations_.end()) return *found->second;
    if (destinations_.size() >= kMaxDestinations) destinations_.clear();
    auto destination = std::make_unique<Destination>();
    destination->host = host;
    destination->port = port;
    return *destinations_.emplace(key_, std::move(destination)).first->second;
}

const char* OscSender::fail(const char* host, int port, const char* reason, const std::string& detail) {
    std::string kind = std::string(host) + ":" + std::to_string(port);
    if (warned_.insert(kind + "\n" + reason).second) {
        std::printf("warning: OSC to %s not sent: %s%s%s%s\n", kind.c_str(), reason, detail.empty() ? "" : " (",
                    detail.c_str(), detail.empty() ? "" : ")");
        std::fflush(stdout);
    }
    return reason;
}

OscSender& oscSender() {
    static OscSender sender;
    return sender;
}

}  // namespace feltrix
