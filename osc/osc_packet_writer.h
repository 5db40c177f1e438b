#pragma once
// Packs OSC messages and bundles into a fixed buffer with oscpack's
// OutboundPacketStream. oscpack reports a full buffer by throwing; the writer
// catches that and remembers it, so nothing here throws.
#include <cstddef>
#include <cstdint>

#include <oscpack/osc/OscOutboundPacketStream.h>

namespace feltrix {

class OscPacketWriter {
public:
    OscPacketWriter(char* buffer, std::size_t capacity) : stream_(buffer, capacity) {}

    // Starts a new packet.
    void clear();
    // A bundle with the time tag "immediately"; messages go in between.
    void beginBundle();
    void endBundle();
    void beginMessage(const char* address);
    void endMessage();
    void addInt32(std::int32_t value);
    void addFloat(float value);
    void addDouble(double value);
    // Up to the first zero byte: OSC strings end there.
    void addString(const char* value);
    void addBool(bool value);
    void addNil();
    void addInfinitum();

    // False once something did not fit: the packet is then incomplete.
    bool fits() const { return fits_; }
    const char* data() const { return stream_.Data(); }
    std::size_t size() const { return stream_.Size(); }

private:
    template <typename Element>
    void put(const Element& element);

    osc::OutboundPacketStream stream_;
    bool fits_ = true;
};

}  // namespace feltrix
