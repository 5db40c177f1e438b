#include "interface_library/extended_index.h"

#include <cfloat>
#include <cmath>

namespace pelgrin32 {

namespace {

enum Group : std::uint32_t { kBandGroup = 0, kRingGroup = 1, kAuxGroup = 2, kWordGroup = 3 };

// Fields of groups 0 and 2 that the tables below name.
constexpr std::uint32_t kWordField = 0;
constexpr std::uint32_t kBandSampleField = 15;
constexpr std::uint32_t kReal1Field = 21, kReal3Field = 23;
constexpr std::uint32_t kAuxIntegerField = 3, kAuxReal2Field = 7, kAuxReal1Field = 8, kAuxMirrorOnlyField = 11;
constexpr std::uint32_t kMarkerValue = 1613;

constexpr std::int64_t kNoMirror = -1;

// The 32-bit integer band record field of a group 0 field number; 0 for none.
std::uint32_t integerBandField(std::uint32_t field) {
    switch (field) {
    case 2: return band_record::kValue;
    case 4: return band_record::kMode;
    case 5: return band_record::kThreshold;
    case 6: return band_record::kNextThreshold;
    case 10: return band_record::kModalFrequency;
    case 12: return band_record::kCoher;
    case 13: return band_record::kPhase;
    case 14: return band_record::kHits;
    case 16: return band_record::kDampedValue;
    case 17: return band_record::kPercentTimeOverThreshold;
    default: return 0;
    }
}

// Real1 to Real3 for fields 21 to 23.
std::uint32_t realBandField(std::uint32_t field) { return band_record::kReal1 + 4 * (field - kReal1Field); }

bool isRealBandField(std::uint32_t field) { return field >= kReal1Field && field <= kReal3Field; }

// Tenths of a stored real. Multiplied in single precision, so that a value
// written in tenths reads back unchanged (0.7f times 10 is 7, not 6.99...).
std::int32_t tenths(float real) { return truncateToInt(real * 10.0f); }

float fromTenths(std::int32_t value) { return static_cast<float>(value / 10.0); }

// A caller's double as a stored real; beyond the float range it becomes an
// infinity (the conversion itself would be undefined there).
float toReal(double value) {
    if (value > FLT_MAX) return HUGE_VALF;
    if (value < -FLT_MAX) return -HUGE_VALF;
    return static_cast<float>(value);
}

// The host block word that repeats a group 0 field for word readers: the
// plain index of the same channel, band and field.
std::int64_t bandMirror(std::uint32_t field, std::uint32_t c, std::uint32_t k, std::uint32_t e) {
    const std::int64_t base = 128 * static_cast<std::int64_t>(c);
    const bool plainChannel = c < 2;
    switch (field) {
    case 2: return plainChannel && k <= 9 ? base + k : kNoMirror;
    case 4: return plainChannel && k <= 9 ? base + 64 + k : kNoMirror;
    case 5: return plainChannel && k <= 9 ? base + 16 + k : kNoMirror;
    case 6: return plainChannel && k <= 9 ? base + 32 + k : kNoMirror;
    case 14: return plainChannel && k <= 9 ? base + 80 + k : kNoMirror;
    case 17: return plainChannel && k <= 9 ? base + 112 + k : kNoMirror;
    case 10:
        if (!plainChannel || k > 9) return kNoMirror;
        return k <= 4 ? base + 10 + k : base + 85 + k;
    case 12:
        if (!plainChannel || k < 1 || k > 8) return kNoMirror;
        return k <= 4 ? base + 25 + k : base + 37 + k;
    case 13:
        if (!plainChannel || k < 1 || k > 8) return kNoMirror;
        return k <= 4 ? base + 57 + k : base + 69 + k;
    case 16:
        // Channel records 0 to 7 have plain codes; the words past them belong
        // to other variables and are never overwritten from here.
        if (c >= 8 || k < 1 || k > 8) return kNoMirror;
        if (k == 1) return base + 15;
        if (k <= 3) return base + 28 + k;
        if (k <= 5) return base + 42 + k;
        if (k <= 7) return base + 56 + k;
        return base + 70 + k;
    case kBandSampleField:
        if (k < 1 || k > 8 || c > 1) return kNoMirror;
        return (c == 0 ? 4096 : 7936) + 256 * static_cast<std::int64_t>(k) + e;
    default: return kNoMirror;
    }
}

void mirror(AreaView view, std::int64_t word, std::int32_t value) {
    if (word >= 0) store16(view, hostWordAt(view, static_cast<std::uint32_t>(word)), value);
}

// Group 1: the ring, element and mirror word of a field.
struct RingTarget {
    std::uint32_t ring = 0;
    std::uint32_t element = 0;
    std::int64_t mirror = kNoMirror;
    bool valid = false;
};
RingTarget ringTarget(const ExtendedIndex& x, bool forWrite) {
    const std::uint32_t c = x.channel - 1;
    const auto pick = [c](std::int64_t forChannel0, std::int64_t forChannel1) {
        return c == 0 ? forChannel0 : c == 1 ? forChannel1 : kNoMirror;
    };
    switch (x.field) {
    case 9: return {2, x.element, pick(1024 + x.element % 64, 1088 + x.element % 64), true};
    case 15: return {0, x.element, pick(4096 + x.element, 6400 + x.element), true};
    case 18: return {channel_record::kLongRing, x.low11, pick(12288 + x.low11, 14336 + x.low11), true};
    case 19: return {3, x.low11, pick(1280 + x.low11, 1344 + x.low11), forWrite};  // written, never read
    case 20: return {1, x.element, kNoMirror, true};
    default: return {};
    }
}

bool isGroup3Word(std::uint32_t w) {
    return (w >= 1648 && w <= 1695) || (w >= 10240 && w <= 10245) || (w >= 14208 && w <= 14335);
}

std::uint32_t group3Word(std::int32_t index) { return static_cast<std::uint32_t>(index) & ~(3u << 22); }

// Auxiliary reals: the field and the host word (hundredths index) of fields 7
// and 8 of record k.
std::uint32_t auxRealField(std::uint32_t field) {
    return field == kAuxReal2Field ? aux_record::kReal2 : aux_record::kReal1;
}
std::int64_t auxRealMirror(std::uint32_t field, std::uint32_t k) {
    const std::int64_t odd = field == kAuxReal1Field ? 1 : 0;
    if (k >= 1 && k <= 5) return 1790 + 2 * static_cast<std::int64_t>(k) + odd;
    if (k >= 6 && k <= 9) return 1796 + 2 * static_cast<std::int64_t>(k) + odd;
    return kNoMirror;
}

}  // namespace

ExtendedIndex decodeExtended(std::int32_t index) {
    const auto u = static_cast<std::uint32_t>(index);
    return {u >> 24, (u >> 22) & 3u, (u >> 16) & 63u, (u >> 8) & 255u, u & 255u, u & 0xFFFFu, u & 0x7FFu};
}

std::int32_t readExtended(AreaView view, std::int32_t index) {
    const ExtendedIndex x = decodeExtended(index);
    switch (x.group) {
    case kBandGroup: {
        if (x.field == kWordField) return load16(view, hostWordAt(view, x.low16));
        if (x.channel == 0) return 0;
        const std::uint32_t c = x.channel - 1;
        if (x.field == kBandSampleField) return load16(view, bandSampleAt(view, c, x.record, x.element));
        const std::uint32_t field = integerBandField(x.field);
        if (field != 0) return load32(view, bandFieldAt(view, c, x.record, field));
        // Fields 21 to 23 name Real1 to Real3; every other field reads Real1.
        const std::uint32_t real = isRealBandField(x.field) ? realBandField(x.field) : band_record::kReal1;
        return tenths(loadReal(view, bandFieldAt(view, c, x.record, real)));
    }
    case kRingGroup: {
        if (x.channel == 0) return 0;
        const RingTarget target = ringTarget(x, false);
        if (!target.valid) return 0;
        return load16(view, channelSampleAt(view, x.channel - 1, target.ring, target.element));
    }
    case kAuxGroup:
        switch (x.field) {
        case kWordField: return load16(view, hostWordAt(view, x.low16));
        case kAuxIntegerField: return load32(view, auxFieldAt(view, x.record, aux_record::kInteger));
        case kAuxReal2Field:
        case kAuxReal1Field: return tenths(loadReal(view, auxFieldAt(view, x.record, auxRealField(x.field))));
        default: return 0;
        }
    default: {
        const std::uint32_t w = group3Word(index);
        return isGroup3Word(w) ? load16(view, hostWordAt(view, w)) : 0;
    }
    }
}

std::int32_t writeExtended(AreaView view, std::int32_t index, std::int32_t value) {
    const ExtendedIndex x = decodeExtended(index);
    switch (x.group) {
    case kBandGroup: {
        if (x.field == kWordField) {
            const std::uint64_t at = hostWordAt(view, x.low16);
            if (at == kNowhere) return 0;
            store16(view, at, value);
            return value;
        }
        if (x.channel == 0) return 0;
        const std::uint32_t c = x.channel - 1;
        if (x.field == kBandSampleField) {
            const std::uint64_t at = bandSampleAt(view, c, x.record, x.element);
            if (at == kNowhere) return 0;
            store16(view, at, value);
            mirror(view, bandMirror(x.field, c, x.record, x.element), value);
            return value;
        }
        if (isRealBandField(x.field)) {
            const std::uint64_t at = bandFieldAt(view, c, x.record, realBandField(x.field));
            if (at == kNowhere) return 0;
            storeReal(view, at, fromTenths(value));
            return value;
        }
        const std::uint32_t field = integerBandField(x.field);
        const std::uint64_t at = field == 0 ? kNowhere : bandFieldAt(view, c, x.record, field);
        if (at == kNowhere) return 0;
        store32(view, at, value);
        mirror(view, bandMirror(x.field, c, x.record, x.element), value);
        return value;
    }
    case kRingGroup: {
        if (x.channel == 0) return 0;
        const RingTarget target = ringTarget(x, true);
        if (!target.valid) return 0;
        const std::uint64_t at = channelSampleAt(view, x.channel - 1, target.ring, target.element);
        if (at == kNowhere) return 0;
        store16(view, at, value);
        mirror(view, target.mirror, value);
        return value;
    }
    case kAuxGroup: {
        if (x.field == kWordField) {
            const std::uint64_t at = hostWordAt(view, x.low16);
            if (at == kNowhere) return 0;
            store16(view, at, value);
            if (value == static_cast<std::int32_t>(kMarkerValue)) store32(view, area_header::kMarker, value);
            return value;
        }
        if (x.record >= kAuxRecordCount) return 0;
        if (x.field == kAuxIntegerField) {
            const std::uint64_t at = auxFieldAt(view, x.record, aux_record::kInteger);
            if (at == kNowhere) return 0;
            store32(view, at, value);
            if (x.record >= 1 && x.record <= 9) mirror(view, 1552 + x.record, value);
            return value;
        }
        if (x.field == kAuxReal2Field || x.field == kAuxReal1Field) {
            const std::uint64_t at = auxFieldAt(view, x.record, auxRealField(x.field));
            if (at == kNowhere) return 0;
            storeReal(view, at, fromTenths(value));
            mirror(view, auxRealMirror(x.field, x.record), value / 10);
            return value;
        }
        if (x.field == kAuxMirrorOnlyField) {
            if (x.record >= 1 && x.record <= 7) {
                if (x.channel == 1) mirror(view, 1567 + x.record, value);
                if (x.channel == 2) mirror(view, 1575 + x.record, value);
            }
            return value;
        }
        return 0;
    }
    default: {
        const std::uint32_t w = group3Word(index);
        if (!isGroup3Word(w)) return 0;
        store16(view, hostWordAt(view, w), value);
        return value;
    }
    }
}

double readExtendedReal(AreaView view, std::int32_t index) {
    const ExtendedIndex x = decodeExtended(index);
    if (x.group == kBandGroup) {
        if (x.channel == 0 || !isRealBandField(x.field)) return 0.0;
        return loadReal(view, bandFieldAt(view, x.channel - 1, x.record, realBandField(x.field)));
    }
    if (x.group == kAuxGroup && (x.field == kAuxReal2Field || x.field == kAuxReal1Field)) {
        return loadReal(view, auxFieldAt(view, x.record, auxRealField(x.field)));
    }
    return readExtended(view, index);
}

std::int32_t writeExtendedReal(AreaView view, std::int32_t index, double value) {
    const ExtendedIndex x = decodeExtended(index);
    if (x.group == kBandGroup) {
        if (x.channel == 0 || !isRealBandField(x.field)) return 0;
        const std::uint64_t at = bandFieldAt(view, x.channel - 1, x.record, realBandField(x.field));
        if (at == kNowhere) return 0;
        storeReal(view, at, toReal(value));
        return truncateToInt(value);
    }
    if (x.group == kAuxGroup) {
        if (x.field != kAuxReal2Field && x.field != kAuxReal1Field) return 0;
        const std::uint64_t at = auxFieldAt(view, x.record, auxRealField(x.field));
        if (at == kNowhere) return 0;
        const float real = toReal(value);
        storeReal(view, at, real);
        // The word holds the real's whole part, as after an integer write.
        mirror(view, auxRealMirror(x.field, x.record), truncateToInt(real));
        return truncateToInt(value);
    }
    return writeExtended(view, index, truncateToInt(value));
}

}  // namespace pelgrin32
