#include "osc/osc_packet_writer.h"

namespace feltrix {

template <typename Element>
void OscPacketWriter::put(const Element& element) {
    if (!fits_) return;
    try {
        stream_ << element;
    } catch (const osc::Exception&) {
        // Out of buffer memory: the only exception a well-formed packet can meet.
        fits_ = false;
    }
}

void OscPacketWriter::clear() {
    stream_.Clear();
    fits_ = true;
}

void OscPacketWriter::beginBundle() { put(osc::BeginBundleImmediate); }
void OscPacketWriter::endBundle() { put(osc::EndBundle); }
void OscPacketWriter::beginMessage(const char* address) { put(osc::BeginMessage(address)); }
void OscPacketWriter::endMessage() { put(osc::EndMessage); }
void OscPacketWriter::addInt32(std::int32_t value) { put(static_cast<osc::int32>(value)); }
void OscPacketWriter::addFloat(float value) { put(value); }
void OscPacketWriter::addDouble(double value) { put(value); }
void OscPacketWriter::addString(const char* value) { put(value); }
void OscPacketWriter::addBool(bool value) { put(value); }
void OscPacketWriter::addNil() { put(osc::OscNil); }
void OscPacketWriter::addInfinitum() { put(osc::Infinitum); }

}  // namespace feltrix
