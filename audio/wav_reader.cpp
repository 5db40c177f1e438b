#include "audio/wav_reader.h"

#include <cstring>
#include <new>
#include <vector>

#include "audio/load_error.h"

namespace feltrix {

namespace {

// How the samples are stored.
enum class SampleForm {
    Unsigned8,        // 8-bit PCM, 128 = silence
    Signed16,
    Signed24,
    Signed32,         // integers under the extensible PCM sub-format
    Float32,          // IEEE floats: tag 3 or the extensible float sub-format
    FloatOrSigned32,  // 32 bits under the plain PCM tag: decided by the data
};

struct WavFormat {
    int channels = 0;            // 0..32
    std::uint32_t sampleRate = 0;
    int blockAlign = 0;          // bytes per frame, at least channels x bytes per sample
    SampleForm form = SampleForm::Signed16;
    std::uint64_t frames = 0;    // whole frames really present in the file
};

const char* const notRiff = "File is not a RIFF WAV file";
const char* const notWave = "File is not in WAVE format";
const char* const notPcm = "WAV file is not raw PCM";
const char* const badBits = "WAV file has unsupported bits per sample";
const char* const noData = "WAV file has no data chunk";
const char* const tooManyChannels = "WAV file has too many channels";
const char* const badBlockAlign = "WAV file has an invalid block align";
const char* const badRate = "WAV file has an invalid sample rate";
const char* const outOfMemory = "Not enough memory for WAV file";

constexpr std::uint16_t formatPcm = 1;
constexpr std::uint16_t formatFloat = 3;
constexpr std::uint16_t formatExtensible = 0xFFFE;
// Tail of the sub-format GUID of WAVE_FORMAT_EXTENSIBLE; its first two bytes
// carry the plain format tag.
constexpr std::uint8_t subFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                            0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool readExactly(ByteSource& source, void* buffer, std::size_t size) {
    return source.read(buffer, size) == size;
}

// Moves past `size` bytes of chunk body plus the pad byte of an odd size.
bool skipChunk(ByteSource& source, std::uint64_t size) {
    return source.seek(static_cast<std::int64_t>(size + (size & 1)), SEEK_CUR);
}

struct FmtFields {
    std::uint16_t tag = 0;
    std::int16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::int16_t blockAlign = 0;
    std::int16_t bitsPerSample = 0;
    bool extensible = false;  // the tag came from an extensible sub-format
};

// Reads an "fmt " chunk body of `size` bytes and leaves the source after it.
const char* readFmtChunk(ByteSource& source, std::uint32_t size, FmtFields& fmt) {
    std::uint8_t b[40];
    if (size < 16 || !readExactly(source, b, 16)) {
        return notWave;
    }
    std::uint32_t consumed = 16;
    fmt.tag = le16(b);
    fmt.channels = static_cast<std::int16_t>(le16(b + 2));
    fmt.sampleRate = le32(b + 4);
    fmt.blockAlign = static_cast<std::int16_t>(le16(b + 12));
    fmt.bitsPerSample = static_cast<std::int16_t>(le16(b + 14));
    if (fmt.tag == formatExtensible && size >= 40) {
        if (!readExactly(source, b + 16, 24)) {
            return notWave;
        }
        consumed = 40;
        // Multichannel writers label plain PCM this way; take the real tag
        // from the sub-format, anything unrecognised stays "not PCM".
        if (std::memcmp(b + 26, subFormatTail, sizeof subFormatTail) == 0) {
            fmt.tag = le16(b + 24);
            fmt.extensible = true;
        }
    }
    if (!skipChunk(source, static_cast<std::uint64_t>(size) - consumed)) {
        return notWave;
    }
    return nullptr;
}

// The sample form a format tag and bit depth name; null, or the failure text.
const char* sampleForm(const FmtFields& fmt, SampleForm& form) {
    if (fmt.tag == formatFloat) {
        form = SampleForm::Float32;
        return fmt.bitsPerSample == 32 ? nullptr : badBits;
    }
    if (fmt.tag != formatPcm) {
        return notPcm;
    }
    switch (fmt.bitsPerSample) {
    case 8: form = SampleForm::Unsigned8; return nullptr;
    case 16: form = SampleForm::Signed16; return nullptr;
    case 24: form = SampleForm::Signed24; return nullptr;
    case 32: form = fmt.extensible ? SampleForm::Signed32 : SampleForm::FloatOrSigned32; return nullptr;
    default: return badBits;
    }
}

// Reads everything up to the sample data and leaves the source there.
// Returns null on success, otherwise the load-failure text.
const char* readWavHeader(ByteSource& source, WavFormat& format) {
    std::uint8_t b[12];
    if (!readExactly(source, b, 4) || std::memcmp(b, "RIFF", 4) != 0) {
        return notRiff;
    }
    if (!readExactly(source, b + 4, 8) || std::memcmp(b + 8, "WAVE", 4) != 0) {
        return notWave;
    }
    FmtFields fmt;
    SampleForm form = SampleForm::Signed16;
    bool haveFmt = false;
    std::uint32_t dataSize = 0;
    for (;;) {
        std::uint8_t chunk[8];
        if (!readExactly(source, chunk, 8)) {
            return haveFmt ? noData : notWave;
        }
        std::uint32_t size = le32(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0 && !haveFmt) {
            if (const char* error = readFmtChunk(source, size, fmt)) {
                return error;
            }
            if (const char* error = sampleForm(fmt, form)) {
                return error;
            }
            haveFmt = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFmt) {
                return notWave;
            }
            dataSize = size;
            break;
        } else if (!skipChunk(source, size)) {
            return haveFmt ? noData : notWave;
        }
    }

    format = WavFormat{};
    format.form = form;
    format.sampleRate = fmt.sampleRate;
    if (fmt.channels < 0 || fmt.channels > kMaxFileChannels) {
        return tooManyChannels;
    }
    format.channels = fmt.channels;
    if (format.channels == 0) {
        return nullptr;  // loads as a sound without voices
    }
    const int bytesPerSample = fmt.bitsPerSample / 8;
    if (fmt.blockAlign <= 0 || fmt.blockAlign < format.channels * bytesPerSample) {
        return badBlockAlign;
    }
    if (fmt.sampleRate == 0) {
        return badRate;
    }
    format.blockAlign = fmt.blockAlign;
    // A data chunk that declares more than the file holds (a recording cut
    // short, or a streaming writer's placeholder size) is read as far as the
    // data really goes.
    std::uint64_t available = dataSize;
    std::int64_t remaining = remainingBytes(source);
    if (remaining >= 0 && static_cast<std::uint64_t>(remaining) < available) {
        available = static_cast<std::uint64_t>(remaining);
    }
    format.frames = available / static_cast<std::uint64_t>(format.blockAlign);
    return nullptr;
}

// Keeps a float sample within the range every other form has: a hostile or
// broken file must not put NaN or huge values into the mix.
float clippedFloat(float value) {
    return value >= -1.0f && value <= 1.0f ? value : (value > 1.0f ? 1.0f : (value < -1.0f ? -1.0f : 0.0f));
}

float floatFromBits(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return clippedFloat(value);
}

float fromSigned32(std::uint32_t bits) {
    return static_cast<float>(static_cast<std::int32_t>(bits)) * (1.0f / 2147483648.0f);
}

// Whether 32 bits read as a float give a finite value within -2..+2; tested
// on the bits, so that no NaN ever passes through a float register.
bool plausibleFloat(std::uint32_t bits) { return (bits & 0x7FFFFFFFu) <= 0x40000000u; }

// Converts `frames` interleaved frames of `data` (blockAlign bytes each).
// FloatOrSigned32 samples are stored as their raw bits, to be settled by
// settleFloatOrSigned32 once the whole file is read; `allPlausibleFloats`
// is cleared by the first that is not a plausible float.
void convertWavFrames(const std::uint8_t* data, std::uint64_t frames, const WavFormat& format,
                      float* const* voices, std::uint64_t firstFrame, bool& allPlausibleFloats) {
    const int channels = format.channels;
    const std::size_t stride = static_cast<std::size_t>(format.blockAlign);
    for (std::uint64_t f = 0; f < frames; ++f) {
        const std::uint8_t* frame = data + f * stride;
        const std::uint64_t at = firstFrame + f;
        for (int c = 0; c < channels; ++c) {
            switch (format.form) {
            case SampleForm::Unsigned8:
                voices[c][at] = static_cast<float>(static_cast<int>(frame[c]) - 128) / 128.0f;
                break;
            case SampleForm::Signed16:
                voices[c][at] = static_cast<float>(static_cast<std::int16_t>(le16(frame + 2 * c))) / 32768.0f;
                break;
            case SampleForm::Signed24: {
                const std::uint8_t* p = frame + 3 * c;
                const std::int32_t v = p[0] | (p[1] << 8) | (p[2] << 16);
                voices[c][at] = static_cast<float>(v >= 0x800000 ? v - 0x1000000 : v) / 8388608.0f;
                break;
            }
            case SampleForm::Signed32:
                voices[c][at] = fromSigned32(le32(frame + 4 * c));
                break;
            case SampleForm::Float32:
                voices[c][at] = floatFromBits(le32(frame + 4 * c));
                break;
            case SampleForm::FloatOrSigned32: {
                const std::uint32_t bits = le32(frame + 4 * c);
                allPlausibleFloats = allPlausibleFloats && plausibleFloat(bits);
                std::memcpy(&voices[c][at], &bits, sizeof bits);
                break;
            }
            }
        }
    }
}

// 32-bit samples under the plain PCM tag. Files written for this program
// hold IEEE floats there; other writers (sox -b 32, most tools) hold
// integers, which read as floats give NaNs and huge values. So the whole file
// is floats when every sample is a finite float within -2..+2, and 32-bit
// integers otherwise.
void settleFloatOrSigned32(float* const* voices, int channels, std::uint64_t frames, bool floats) {
    for (int c = 0; c < channels; ++c) {
        for (std::uint64_t f = 0; f < frames; ++f) {
            std::uint32_t bits;
            std::memcpy(&bits, &voices[c][f], sizeof bits);
            voices[c][f] = floats ? floatFromBits(bits) : fromSigned32(bits);
        }
    }
}

// Reads format.frames frames from the source (placed by readWavHeader) into
// one array per channel, each of format.frames floats in -1..+1. Returns the
// frames actually read (fewer only when the file shrank meanwhile).
std::uint64_t readWavFrames(ByteSource& source, const WavFormat& format, float* const* voices) {
    if (format.channels == 0 || format.frames == 0) {
        return 0;
    }
    // Blocks of whole frames, about 1 MiB each, so a long file never needs a
    // second copy of itself in memory.
    const std::uint64_t stride = static_cast<std::uint64_t>(format.blockAlign);
    const std::uint64_t framesPerBlock = (1u << 20) / stride + 1;
    std::vector<std::uint8_t> block(static_cast<std::size_t>(framesPerBlock * stride));
    std::uint64_t done = 0;
    bool allPlausibleFloats = true;
    while (done < format.frames) {
        std::uint64_t want = format.frames - done;
        if (want > framesPerBlock) {
            want = framesPerBlock;
        }
        std::size_t got = source.read(block.data(), static_cast<std::size_t>(want * stride));
        std::uint64_t whole = got / stride;
        convertWavFrames(block.data(), whole, format, voices, done, allPlausibleFloats);
        done += whole;
        if (whole < want) {
            break;
        }
    }
    if (format.form == SampleForm::FloatOrSigned32) {
        settleFloatOrSigned32(voices, format.channels, done, allPlausibleFloats);
    }
    return done;
}

// Load-time panning of channel `index` of a file with `channels` channels:
// a stereo pair goes fully left and right, anything else to the middle.
float wavChannelPanning(int index, int channels) {
    if (channels == 2) {
        return index == 0 ? 0.0f : 1.0f;
    }
    return 0.5f;
}

}  // namespace

const char* readWavFile(ByteSource& source, NewVoices& voices) {
    WavFormat format;
    if (const char* error = readWavHeader(source, format)) {
        return error;
    }
    try {
        const std::size_t first = voices.size();
        if (!voices.make(format.channels, format.frames, format.sampleRate)) {
            return outOfMemory;
        }
        std::vector<float*> outputs;
        for (int c = 0; c < format.channels; ++c) {
            outputs.push_back(voices[first + static_cast<std::size_t>(c)]->samples.get());
        }
        const std::uint64_t frames = readWavFrames(source, format, outputs.data());
        for (int c = 0; c < format.channels; ++c) {
            AudioChannel* voice = voices[first + static_cast<std::size_t>(c)];
            voice->sampleCount = frames;  // fewer only if the file shrank meanwhile
            voice->framesAvailable.store(frames, std::memory_order_relaxed);
            voice->loadState.store(LoadState::Loaded, std::memory_order_relaxed);
            setInitialPanning(voice, wavChannelPanning(c, format.channels));
        }
    } catch (const std::bad_alloc&) {
        return outOfMemory;
    }
    return nullptr;
}

}  // namespace feltrix
