#include "interface_library/area_layout.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace pelgrin32 {

namespace {

bool fits(AreaView view, std::uint64_t at, std::uint64_t width) {
    return at != kNowhere && at <= view.size && width <= view.size - at && view.bytes != nullptr;
}

bool aligned(std::uint64_t at, std::uint64_t width) { return at % width == 0; }

// An offset stored in the area at `at` (4 bytes, unsigned), or kNowhere when
// `at` itself is not a valid field.
std::uint64_t storedOffset(AreaView view, std::uint64_t at) {
    if (!fits(view, at, 4) || !aligned(at, 4)) return kNowhere;
    return __atomic_load_n(reinterpret_cast<const std::uint32_t*>(view.bytes + at), __ATOMIC_RELAXED);
}

// Start of a block of `blockSize` bytes, `aligned` to 4, whose offset is stored
// at `offsetField` counting from `base`, and which must lie within `limit`
// bytes from `base` (its enclosing record or the whole area).
std::uint64_t blockAt(AreaView view, std::uint64_t base, std::uint64_t offsetField, std::uint64_t blockSize,
                      std::uint64_t limit) {
    if (base == kNowhere) return kNowhere;
    const std::uint64_t offset = storedOffset(view, base + offsetField);
    if (offset == kNowhere || !aligned(offset, 4) || offset > limit || blockSize > limit - offset) return kNowhere;
    const std::uint64_t at = base + offset;
    return fits(view, at, blockSize) ? at : kNowhere;
}

std::uint64_t channelRecordAt(AreaView view, std::uint32_t channel) {
    if (channel >= kChannelRecordCount) return kNowhere;
    const std::uint64_t table = storedOffset(view, area_header::kChannelTable);
    if (table == kNowhere) return kNowhere;
    return blockAt(view, 0, table + 8 + 4 * std::uint64_t{channel}, kChannelRecordSize, view.size);
}

std::uint64_t bandRecordAt(AreaView view, std::uint32_t channel, std::uint32_t band) {
    if (band >= kBandCount) return kNowhere;
    return blockAt(view, channelRecordAt(view, channel), channel_record::kBandOffsets + 4 * band, kBandRecordSize,
                   kChannelRecordSize);
}

// Sample `element` of the ring starting at `ring`, which holds `ringSize`
// bytes and `capacity` samples.
std::uint64_t ringSampleAt(AreaView view, std::uint64_t ring, std::uint32_t ringSize, std::uint32_t capacity,
                           std::uint32_t element) {
    if (ring == kNowhere || element >= capacity) return kNowhere;
    const std::uint64_t first = storedOffset(view, ring + sample_ring::kFirstSample);
    if (first == kNowhere || !aligned(first, 2) || first > ringSize || 2ull * capacity > ringSize - first) return kNowhere;
    const std::uint64_t at = ring + first + 2ull * element;
    return fits(view, at, 2) ? at : kNowhere;
}

void putByte(AreaView view, std::uint64_t at, std::uint8_t value) {
    if (fits(view, at, 1)) __atomic_store_n(view.bytes + at, value, __ATOMIC_RELAXED);
}

void putZeros(AreaView view, std::uint64_t at, std::uint32_t bytes) {
    for (std::uint32_t i = 0; i < bytes; i += 4) store32(view, at + i, 0);
}

void layOutRingHeader(AreaView view, std::uint64_t ring, std::uint32_t size, std::uint32_t capacity) {
    putZeros(view, ring, kRingHeaderSize);
    store32(view, ring + sample_ring::kSize, static_cast<std::int32_t>(size));
    putByte(view, ring + sample_ring::kBitsPerSampleField, kBitsPerSample);
    store32(view, ring + sample_ring::kFirstSample, kRingHeaderSize);
    store32(view, ring + sample_ring::kCapacity, static_cast<std::int32_t>(capacity));
}

void layOutChannelRecord(AreaView view, std::uint64_t record) {
    putZeros(view, record, kChannelHeaderSize);
    store32(view, record + channel_record::kSize, kChannelRecordSize);
    store32(view, record + channel_record::kBandCountField, kBandCount);
    std::uint32_t ring = kChannelHeaderSize + 4 * kBandCount;
    for (std::uint32_t r = 0; r <= kShortRingCount; ++r) {
        const bool isLong = r == channel_record::kLongRing;
        const std::uint32_t size = isLong ? kLongRingSize : kShortRingSize;
        store32(view, record + channel_record::kRingOffsets + 4 * r, static_cast<std::int32_t>(ring));
        layOutRingHeader(view, record + ring, size, isLong ? kLongRingSamples : kShortRingSamples);
        ring += size;
    }
    for (std::uint32_t band = 0; band < kBandCount; ++band) {
        const std::uint32_t offset = ring + band * kBandRecordSize;
        store32(view, record + channel_record::kBandOffsets + 4 * band, static_cast<std::int32_t>(offset));
        store32(view, record + offset + band_record::kSize, kBandRecordSize);
        store32(view, record + offset + band_record::kRingOffset, kBandRingOffset);
        store32(view, record + offset + band_record::kRingOffset + 4, 0);
        layOutRingHeader(view, record + offset + kBandRingOffset, kShortRingSize, kShortRingSamples);
    }
}

}  // namespace

bool isLaidOut(AreaView view) {
    if (!fits(view, area_header::kTotalSize, 4)) return false;
    return __atomic_load_n(reinterpret_cast<const std::int32_t*>(view.bytes), __ATOMIC_ACQUIRE) != 0;
}

void layOutArea(AreaView view) {
    if (view.bytes == nullptr || view.size < kAreaSize || isLaidOut(view)) return;
    using namespace area_header;
    putZeros(view, kMarker, kHostBlockOffset - kMarker);
    store32(view, kChannelTable, kChannelTableOffset);
    store32(view, kAuxTable, kAuxTableOffset);
    store32(view, kAuxRecordSizeField, kAuxRecordSize);
    store32(view, kShortRingSizeField, kShortRingSize);
    store32(view, kLongRingSizeField, kLongRingSize);
    store32(view, kBandRingOffsetField, kBandRingOffset);
    store32(view, kBandRecordSizeField, kBandRecordSize);
    store32(view, kChannelHeaderSizeField, kChannelHeaderSize);
    store32(view, kChannelRecordSizeField, kChannelRecordSize);
    store32(view, kFixedPartSizeField, kFixedPartSize);
    store32(view, kTotalSizeAgain, kAreaSize);

    store32(view, kChannelTableOffset, kChannelRecordCount);
    store32(view, kChannelTableOffset + 4, 0);
    for (std::uint32_t c = 0; c < kChannelRecordCount; ++c) {
        const std::uint32_t record = kChannelRecordsOffset + c * kChannelRecordSize;
        store32(view, kChannelTableOffset + 8 + 4 * c, static_cast<std::int32_t>(record));
        layOutChannelRecord(view, record);
    }
    store32(view, kAuxTableOffset, kAuxRecordCount);
    store32(view, kAuxTableOffset + 4, 0);
    for (std::uint32_t k = 0; k < kAuxRecordCount; ++k) {
        const std::uint32_t record = kAuxRecordsOffset + k * kAuxRecordSize;
        store32(view, kAuxTableOffset + 8 + 4 * k, static_cast<std::int32_t>(record));
        store32(view, record + aux_record::kSize, kAuxRecordSize);
        putByte(view, record + 4, 0);
        store32(view, record + 44, 0);
    }
    // Published last: word 0 tells every other attach that the layout is done.
    __atomic_store_n(reinterpret_cast<std::int32_t*>(view.bytes + kTotalSize), static_cast<std::int32_t>(kAreaSize),
                     __ATOMIC_RELEASE);
}

std::uint64_t hostWordAt(AreaView view, std::uint32_t i) {
    if (i >= kHostWordCount) return kNowhere;
    const std::uint64_t at = kHostBlockOffset + 2ull * i;
    return fits(view, at, 2) ? at : kNowhere;
}

std::uint64_t bandFieldAt(AreaView view, std::uint32_t channel, std::uint32_t band, std::uint32_t field) {
    const std::uint64_t record = bandRecordAt(view, channel, band);
    if (record == kNowhere || field % 4 != 0 || field + 4 > kBandRecordSize) return kNowhere;
    return record + field;
}

std::uint64_t bandSampleAt(AreaView view, std::uint32_t channel, std::uint32_t band, std::uint32_t element) {
    const std::uint64_t ring =
        blockAt(view, bandRecordAt(view, channel, band), band_record::kRingOffset, kShortRingSize, kBandRecordSize);
    return ringSampleAt(view, ring, kShortRingSize, kShortRingSamples, element);
}

std::uint64_t channelSampleAt(AreaView view, std::uint32_t channel, std::uint32_t ring, std::uint32_t element) {
    if (ring > channel_record::kLongRing) return kNowhere;
    const bool isLong = ring == channel_record::kLongRing;
    const std::uint32_t size = isLong ? kLongRingSize : kShortRingSize;
    const std::uint64_t start =
        blockAt(view, channelRecordAt(view, channel), channel_record::kRingOffsets + 4 * ring, size, kChannelRecordSize);
    return ringSampleAt(view, start, size, isLong ? kLongRingSamples : kShortRingSamples, element);
}

std::uint64_t auxFieldAt(AreaView view, std::uint32_t record, std::uint32_t field) {
    if (record >= kAuxRecordCount || field % 4 != 0 || field + 4 > kAuxRecordSize) return kNowhere;
    const std::uint64_t table = storedOffset(view, area_header::kAuxTable);
    if (table == kNowhere) return kNowhere;
    const std::uint64_t start = blockAt(view, 0, table + 8 + 4ull * record, kAuxRecordSize, view.size);
    return start == kNowhere ? kNowhere : start + field;
}

std::int32_t load32(AreaView view, std::uint64_t at) {
    if (!fits(view, at, 4) || !aligned(at, 4)) return 0;
    return __atomic_load_n(reinterpret_cast<const std::int32_t*>(view.bytes + at), __ATOMIC_RELAXED);
}

float loadReal(AreaView view, std::uint64_t at) {
    const std::int32_t bits = load32(view, at);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::int32_t load16(AreaView view, std::uint64_t at) {
    if (!fits(view, at, 2) || !aligned(at, 2)) return 0;
    return __atomic_load_n(reinterpret_cast<const std::int16_t*>(view.bytes + at), __ATOMIC_RELAXED);
}

void store32(AreaView view, std::uint64_t at, std::int32_t value) {
    if (!fits(view, at, 4) || !aligned(at, 4)) return;
    __atomic_store_n(reinterpret_cast<std::int32_t*>(view.bytes + at), value, __ATOMIC_RELAXED);
}

void storeReal(AreaView view, std::uint64_t at, float value) {
    std::int32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    store32(view, at, bits);
}

void store16(AreaView view, std::uint64_t at, std::int32_t value) {
    if (!fits(view, at, 2) || !aligned(at, 2)) return;
    __atomic_store_n(reinterpret_cast<std::int16_t*>(view.bytes + at),
                     static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF)), __ATOMIC_RELAXED);
}

std::int32_t truncateToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

}  // namespace pelgrin32
