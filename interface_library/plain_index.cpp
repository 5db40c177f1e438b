#include "interface_library/plain_index.h"

namespace pelgrin32 {

namespace {

// The plain channel codes: for each band record field, the code of band 0 and
// of bands 1 to 9 (Delta to Resrv); -1 where the field has no code.
struct CodeRow {
    std::uint8_t field;
    std::int8_t codes[10];
};
constexpr CodeRow kCodeRows[] = {
    {band_record::kValue, {-1, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
    {band_record::kModalFrequency, {10, 11, 12, 13, 14, 90, 91, 92, 93, 94}},
    {band_record::kDampedValue, {-1, 15, 30, 31, 46, 47, 62, 63, 78, -1}},
    {band_record::kThreshold, {16, 17, 18, 19, 20, 21, 22, 23, 24, 25}},
    {band_record::kCoher, {-1, 26, 27, 28, 29, 42, 43, 44, 45, -1}},
    {band_record::kNextThreshold, {32, 33, 34, 35, 36, 37, 38, 39, 40, 41}},
    {band_record::kStandardDeviation, {48, 49, 50, 51, 52, 53, 54, 55, 56, 57}},
    {band_record::kPhase, {-1, 58, 59, 60, 61, 74, 75, 76, 77, -1}},
    {band_record::kMode, {64, 65, 66, 67, 68, 69, 70, 71, 72, 73}},
    {band_record::kHits, {80, 81, 82, 83, 84, 85, 86, 87, 88, 89}},
    {band_record::kMean, {96, 97, 98, 99, 100, 101, 102, 103, 104, 105}},
    {band_record::kPeakFrequency, {106, 107, 108, 109, 110, 122, 123, 124, 125, 126}},
    {band_record::kPercentTimeOverThreshold, {112, 113, 114, 115, 116, 117, 118, 119, 120, 121}},
};

// One lookup per code instead of a search through the rows.
struct CodeTable {
    PlainCode entries[128];
};
constexpr CodeTable makeCodeTable() {
    CodeTable table{};
    for (const CodeRow& row : kCodeRows) {
        for (int band = 0; band < 10; ++band) {
            if (row.codes[band] < 0) continue;
            table.entries[row.codes[band]].band = static_cast<std::int8_t>(band);
            table.entries[row.codes[band]].field = row.field;
        }
    }
    return table;
}
constexpr CodeTable kCodeTable = makeCodeTable();

constexpr std::uint32_t kChannelPartEnd = 1024;
constexpr std::uint32_t kCodesPerChannel = 128;
constexpr std::uint32_t kSpecialFirst = 1536, kSpecialLast = 2559;
constexpr std::uint32_t kAuxIntegerFirst = 1553, kAuxIntegerLast = 1567;
constexpr std::uint32_t kAuxRealFirst = 1792, kAuxRealLast = 1815;
constexpr std::uint32_t kExtraFirst = 1824, kExtraLast = 1839;

bool within(std::uint32_t i, std::uint32_t first, std::uint32_t last) { return i >= first && i <= last; }

std::uint64_t auxIntegerAt(AreaView view, std::uint32_t i) {
    return auxFieldAt(view, i - (kAuxIntegerFirst - 1), aux_record::kInteger);
}

// 1792 to 1807 reach auxiliary records 1 to 8, 1808 to 1815 records 6 to 9;
// odd indices Real1, even ones Real2.
std::uint64_t auxRealAt(AreaView view, std::uint32_t i) {
    const std::uint32_t x = i - kAuxRealFirst;
    const std::uint32_t record = x < 16 ? x / 2 + 1 : (x - 16) / 2 + 6;
    return auxFieldAt(view, record, i % 2 == 1 ? aux_record::kReal1 : aux_record::kReal2);
}

std::uint64_t extraAt(AreaView view, std::uint32_t i) {
    return bandFieldAt(view, (i / 8) % 2, i % 8 + 1, band_record::kExtra);
}

}  // namespace

PlainCode plainCode(std::uint32_t code) { return code < kCodesPerChannel ? kCodeTable.entries[code] : PlainCode{}; }

std::int32_t readPlain(AreaView view, std::int32_t index) {
    if (!isPlainIndex(index)) return 0;
    const auto i = static_cast<std::uint32_t>(index);
    if (i < kChannelPartEnd) {
        const PlainCode code = plainCode(i % kCodesPerChannel);
        if (code.band < 0) return load16(view, hostWordAt(view, i));
        return load32(view, bandFieldAt(view, i / kCodesPerChannel, static_cast<std::uint32_t>(code.band), code.field));
    }
    if (within(i, kAuxIntegerFirst, kAuxIntegerLast)) return load32(view, auxIntegerAt(view, i));
    if (within(i, kAuxRealFirst, kAuxRealLast)) {
        // In hundredths, rounded half away from zero so that a value written
        // here reads back the same, negative ones included.
        const double real = loadReal(view, auxRealAt(view, i));
        return truncateToInt((real < 0 ? real - 0.005 : real + 0.005) * 100.0);
    }
    if (within(i, kExtraFirst, kExtraLast)) return load32(view, extraAt(view, i));
    return load16(view, hostWordAt(view, i));
}

std::int32_t writePlain(AreaView view, std::int32_t index, std::int32_t value) {
    if (!isPlainIndex(index)) return 0;
    const auto i = static_cast<std::uint32_t>(index);
    const std::uint64_t word = hostWordAt(view, i);
    if (i < kChannelPartEnd) {
        store16(view, word, value);
        const PlainCode code = plainCode(i % kCodesPerChannel);
        if (code.band >= 0) {
            store32(view, bandFieldAt(view, i / kCodesPerChannel, static_cast<std::uint32_t>(code.band), code.field), value);
        }
        return value;
    }
    if (within(i, kSpecialFirst, kSpecialLast)) {
        store16(view, word, value);
        if (within(i, kAuxIntegerFirst, kAuxIntegerLast)) store32(view, auxIntegerAt(view, i), value);
        if (within(i, kAuxRealFirst, kAuxRealLast)) storeReal(view, auxRealAt(view, i), static_cast<float>(value / 100.0));
        if (within(i, kExtraFirst, kExtraLast)) store32(view, extraAt(view, i), value);
        return value;
    }
    // A plain word; nothing beyond the host block's 32768 words.
    store16(view, word, value);
    return 0;
}

}  // namespace pelgrin32
