#pragma once
// The shared area: its byte layout, the layout procedure run by every attach,
// and checked access to its fields.
//
// Every process that maps the area must agree on this layout byte for byte.
// All values are little-endian; offsets stored in the area count bytes from
// the start of the block that holds them (the area, a channel record, a band
// record or a ring). The area may be written by other processes at any time,
// so every offset read from it is checked against the area's size (and the
// size of its enclosing record) before it is used, and every field is read
// and written with one aligned load or store of its own width.
#include <cstddef>
#include <cstdint>

namespace pelgrin32 {

// The four values that fix every size.
constexpr std::uint32_t kChannelRecordCount = 255;
constexpr std::uint32_t kBandCount = 16;        // bands per channel record
constexpr std::uint32_t kAuxRecordCount = 16;   // same value as kBandCount
constexpr std::uint32_t kShortRingSamples = 256;
constexpr std::uint32_t kBitsPerSample = 16;

constexpr std::uint32_t kLongRingSamples = 1920;
constexpr std::uint32_t kRingHeaderSize = 28;
constexpr std::uint32_t kShortRingSize = kBitsPerSample * kShortRingSamples / 8 + kRingHeaderSize;
constexpr std::uint32_t kLongRingSize = kBitsPerSample * kLongRingSamples / 8 + kRingHeaderSize;
constexpr std::uint32_t kBandRingOffset = 132;
constexpr std::uint32_t kBandRecordSize = kShortRingSize + kBandRingOffset;
constexpr std::uint32_t kChannelHeaderSize = 136;
constexpr std::uint32_t kShortRingCount = 4;
constexpr std::uint32_t kChannelRecordSize =
    kChannelHeaderSize + 4 * kBandCount + kShortRingCount * kShortRingSize + kLongRingSize + kBandCount * kBandRecordSize;
constexpr std::uint32_t kAuxRecordSize = 52;
constexpr std::uint32_t kFixedPartSize = 65624;
constexpr std::uint32_t kAreaSize =
    kFixedPartSize + kChannelRecordCount * (kChannelRecordSize + 4) + kAuxRecordCount * (kAuxRecordSize + 4);

// Where things lie in the area.
constexpr std::uint32_t kHostBlockOffset = 72;
constexpr std::uint32_t kHostWordCount = 32768;
constexpr std::uint32_t kChannelTableOffset = kHostBlockOffset + 2 * kHostWordCount;
constexpr std::uint32_t kAuxTableOffset = kChannelTableOffset + 8 + 4 * kChannelRecordCount;
constexpr std::uint32_t kChannelRecordsOffset = kAuxTableOffset + 8 + 4 * kAuxRecordCount;
constexpr std::uint32_t kAuxRecordsOffset = kChannelRecordsOffset + kChannelRecordCount * kChannelRecordSize;

static_assert(kShortRingSize == 540 && kLongRingSize == 3868 && kBandRecordSize == 672);
static_assert(kChannelRecordSize == 16980 && kAreaSize == 4397440);
static_assert(kChannelTableOffset == 65608 && kAuxTableOffset == 66636 && kChannelRecordsOffset == 66708);
static_assert(kAuxRecordsOffset + kAuxRecordCount * kAuxRecordSize == kAreaSize);

// Area header fields (4 bytes each).
namespace area_header {
constexpr std::uint32_t kTotalSize = 0;  // 0 while the area is not laid out
constexpr std::uint32_t kMarker = 4;
constexpr std::uint32_t kChannelTable = 12;
constexpr std::uint32_t kAuxTable = 16;
constexpr std::uint32_t kAuxRecordSizeField = 36;
constexpr std::uint32_t kShortRingSizeField = 40;
constexpr std::uint32_t kLongRingSizeField = 44;
constexpr std::uint32_t kBandRingOffsetField = 48;
constexpr std::uint32_t kBandRecordSizeField = 52;
constexpr std::uint32_t kChannelHeaderSizeField = 56;
constexpr std::uint32_t kChannelRecordSizeField = 60;
constexpr std::uint32_t kFixedPartSizeField = 64;
constexpr std::uint32_t kTotalSizeAgain = 68;
}  // namespace area_header

// Channel record fields.
namespace channel_record {
constexpr std::uint32_t kSize = 0;
constexpr std::uint32_t kBandCountField = 44;
constexpr std::uint32_t kRingOffsets = 52;  // short rings 0 to 3, then the long ring
constexpr std::uint32_t kLongRing = 4;      // ring number of the long ring
constexpr std::uint32_t kBandOffsets = 136;
}  // namespace channel_record

// Band record fields (32-bit integers unless said otherwise).
namespace band_record {
constexpr std::uint32_t kSize = 0;
constexpr std::uint32_t kRingOffset = 52;
constexpr std::uint32_t kValue = 60;
constexpr std::uint32_t kModalFrequency = 64;
constexpr std::uint32_t kDampedValue = 68;
constexpr std::uint32_t kThreshold = 72;
constexpr std::uint32_t kCoher = 76;
constexpr std::uint32_t kNextThreshold = 80;
constexpr std::uint32_t kStandardDeviation = 84;
constexpr std::uint32_t kPhase = 88;
constexpr std::uint32_t kMode = 92;
constexpr std::uint32_t kHits = 96;
constexpr std::uint32_t kMean = 100;
constexpr std::uint32_t kPeakFrequency = 104;
constexpr std::uint32_t kPercentTimeOverThreshold = 108;
constexpr std::uint32_t kExtra = 112;
constexpr std::uint32_t kReal1 = 120;  // floats
constexpr std::uint32_t kReal2 = 124;
constexpr std::uint32_t kReal3 = 128;
}  // namespace band_record

// Ring header fields.
namespace sample_ring {
constexpr std::uint32_t kSize = 0;
constexpr std::uint32_t kBitsPerSampleField = 5;  // one byte
constexpr std::uint32_t kFirstSample = 12;
constexpr std::uint32_t kCapacity = 16;
}  // namespace sample_ring

// Auxiliary record fields.
namespace aux_record {
constexpr std::uint32_t kSize = 0;
constexpr std::uint32_t kReal1 = 36;  // floats
constexpr std::uint32_t kReal2 = 40;
constexpr std::uint32_t kInteger = 48;
}  // namespace aux_record

// One process's view of the area: its first byte and how many bytes of it
// may be touched.
struct AreaView {
    std::uint8_t* bytes = nullptr;
    std::size_t size = 0;
};

// The layout procedure: writes every header, table and record header of a
// view of at least kAreaSize bytes whose word 0 is still 0; leaves data fields
// as they are. An area whose word 0 is non-zero counts as laid out and is left
// untouched. The total size in word 0 is stored last, so a reader that sees it
// sees the whole layout.
void layOutArea(AreaView view);

// True when word 0 of the area is non-zero.
bool isLaidOut(AreaView view);

// --- Checked locations -------------------------------------------------------
// A location is a byte offset into the area, or kNowhere when the index is
// outside the data model's limits or the area's own tables point somewhere
// the field cannot lie.
constexpr std::uint64_t kNowhere = ~std::uint64_t{0};

// Word i of the host block (i below 32768).
std::uint64_t hostWordAt(AreaView view, std::uint32_t i);
// A 4-byte field of band record `band` of channel record `channel`.
std::uint64_t bandFieldAt(AreaView view, std::uint32_t channel, std::uint32_t band, std::uint32_t field);
// Sample `element` of the ring of band record `band` of channel record `channel`.
std::uint64_t bandSampleAt(AreaView view, std::uint32_t channel, std::uint32_t band, std::uint32_t element);
// Sample `element` of ring `ring` (0 to 3 short, 4 long) of channel record `channel`.
std::uint64_t channelSampleAt(AreaView view, std::uint32_t channel, std::uint32_t ring, std::uint32_t element);
// A 4-byte field of auxiliary record `record`.
std::uint64_t auxFieldAt(AreaView view, std::uint32_t record, std::uint32_t field);

// --- Loads and stores of one aligned field -----------------------------------
// Each touches nothing (and loads 0) at kNowhere.
std::int32_t load32(AreaView view, std::uint64_t at);
float loadReal(AreaView view, std::uint64_t at);
std::int32_t load16(AreaView view, std::uint64_t at);  // sign-extended
void store32(AreaView view, std::uint64_t at, std::int32_t value);
void storeReal(AreaView view, std::uint64_t at, float value);
void store16(AreaView view, std::uint64_t at, std::int32_t value);  // the low 16 bits

// Real to integer, truncated toward zero; NaN gives 0 and values beyond the
// 32-bit range give its nearest end (the area may hold any bit pattern).
std::int32_t truncateToInt(double value);

}  // namespace pelgrin32
