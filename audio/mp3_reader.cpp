#include "audio/mp3_reader.h"

#include <lame/lame.h>

#include <algorithm>
#include <new>
#include <stdexcept>
#include <vector>

#include "audio/frame_pieces.h"

namespace feltrix {

namespace {

const char* const invalidMp3 = "Invalid MP3 file";
const char* const decoderError = "MP3 decoder error";
const char* const outOfMemory = "Not enough memory for MP3 file";

constexpr std::size_t feedSize = 1024;
// Calls in a row without sound after which hip is taken to hold no more
// whole frames (see decodeMp3Frames).
constexpr int idleCallsToStop = 4;
// One frame holds at most 1152 samples per channel; the spare room keeps a
// misbehaving stream from ever writing past the buffers.
constexpr int frameBufferSamples = 4608;

// Layer II at MPEG-1 allows only some channel modes with some bitrates.
bool layer2ModeAllowed(int bitrateIndex, int channelMode) {
    const bool single = channelMode == 3;
    switch (bitrateIndex) {
    case 1: case 2: case 3: case 5:
        return single;
    case 11: case 12: case 13: case 14:
        return !single;
    default:
        return true;
    }
}

// The remaining bytes of the source; null on success, else the failure text.
const char* readWholeSource(ByteSource& source, std::vector<std::uint8_t>& data) {
    std::int64_t size = remainingBytes(source);
    if (size < 0) {
        return "Could not open file";
    }
    // On a 32-bit build a file beyond the address space would otherwise be
    // cut to its size modulo 4 GiB.
    if (static_cast<std::uint64_t>(size) > data.max_size()) {
        return outOfMemory;
    }
    try {
        data.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return outOfMemory;
    } catch (const std::length_error&) {
        return outOfMemory;
    }
    data.resize(source.read(data.data(), data.size()));
    return nullptr;
}

}  // namespace

bool acceptableMp3Header(const std::uint8_t* b) {
    if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0) return false;   // frame sync
    if ((b[1] & 0x18) == 0x08) return false;                   // reserved version
    if ((b[1] & 0x06) == 0) return false;                      // reserved layer
    if ((b[2] & 0xF0) == 0xF0) return false;                   // bad bitrate index
    if ((b[2] & 0x0C) == 0x0C) return false;                   // reserved sampling rate
    if ((b[1] & 0x18) == 0x18 && (b[1] & 0x06) == 0x04 &&
        !layer2ModeAllowed(b[2] >> 4, b[3] >> 6)) {
        return false;
    }
    return (b[3] & 0x03) != 2;                                 // reserved emphasis
}

namespace {

// Sample rate in Hz named by an accepted frame header.
int mp3HeaderSampleRate(const std::uint8_t* b) {
    static const int mpeg1[3] = {44100, 48000, 32000};
    int rate = mpeg1[(b[2] >> 2) & 0x03];
    switch ((b[1] >> 3) & 0x03) {
    case 3: return rate;       // MPEG-1
    case 2: return rate / 2;   // MPEG-2
    default: return rate / 4;  // MPEG-2.5
    }
}

}  // namespace

const char* findMp3Start(const std::uint8_t* data, std::size_t size, std::size_t& start) {
    std::size_t pos = 0;
    if (size >= 3 && data[0] == 0x49 && data[1] == 0x44 && data[2] == 0x33) {
        if (size < 10) {
            return invalidMp3;
        }
        std::size_t tagSize = (static_cast<std::size_t>(data[6] & 0x7F) << 21) |
                              (static_cast<std::size_t>(data[7] & 0x7F) << 14) |
                              (static_cast<std::size_t>(data[8] & 0x7F) << 7) |
                              static_cast<std::size_t>(data[9] & 0x7F);
        pos = 10 + tagSize + ((data[5] & 0x10) ? 10 : 0);
    }
    while (pos < size && size - pos >= 4) {
        if (acceptableMp3Header(data + pos)) {
            start = pos;
            return nullptr;
        }
        ++pos;
    }
    return invalidMp3;
}

namespace {

// Decodes data[0..size) in one pass into `frames` (two channels, left and
// right; a single-channel stream goes to both) and sets the sample rate from
// the decoder's header information (0 if it gave none). Null on success,
// else the failure text.
const char* decodeMp3Frames(const std::uint8_t* data, std::size_t size, FramePieces& frames, int& sampleRate) {
    sampleRate = 0;
    hip_t hip = hip_decode_init();
    if (!hip) {
        return decoderError;
    }
    std::vector<short> pcmLeft(frameBufferSamples), pcmRight(frameBufferSamples);
    mp3data_struct info{};
    const char* error = nullptr;
    // hip keeps what it was fed; calls with no new input give the frames it
    // can still complete.
    auto take = [&](int r) {
        if (r > frameBufferSamples) {
            r = frameBufferSamples;
        }
        if (info.header_parsed && info.samplerate > 0) {
            sampleRate = info.samplerate;
        }
        const bool mono = info.stereo == 1;
        for (std::size_t done = 0, count = static_cast<std::size_t>(r); done < count && !error;) {
            float* out[2];
            const std::size_t run = std::min(frames.room(out), count - done);
            if (run == 0) {
                error = outOfMemory;
                break;
            }
            for (std::size_t i = 0; i < run; ++i) {
                const float l = static_cast<float>(pcmLeft[done + i]) / 32768.0f;
                out[0][i] = l;
                out[1][i] = mono ? l : static_cast<float>(pcmRight[done + i]) / 32768.0f;
            }
            frames.commit(run);
            done += run;
        }
    };
    // hip takes a non-const pointer but only reads the input.
    auto* bytes = const_cast<unsigned char*>(data);
    std::size_t offset = 0;
    while (offset < size && !error) {
        std::size_t length = size - offset <= feedSize ? size - offset : feedSize;
        int r = hip_decode1_headers(hip, bytes + offset, length, pcmLeft.data(), pcmRight.data(), &info);
        offset += length;
        // hip answers 0 both when it needs more input and after a step that
        // gives no sound although whole frames are still buffered (skipping
        // the Xing/Info frame, reading the first header, taking in the rest
        // of a frame after its samples, a frame whose bit reservoir is
        // missing). So ask again with no new input until several calls in a
        // row give nothing: frames left behind here would pile up, and those
        // still buffered after the last feed would be lost with the decoder.
        for (int idle = r > 0 ? 0 : 1; idle < idleCallsToStop && !error;) {
            if (r < 0) {
                error = decoderError;
                break;
            }
            if (r > 0) {
                take(r);
                idle = 0;
            }
            r = hip_decode1_headers(hip, bytes, 0, pcmLeft.data(), pcmRight.data(), &info);
            if (r == 0) ++idle;
        }
    }
    hip_decode_exit(hip);
    return error;
}

}  // namespace

const char* readMp3File(ByteSource& source, NewVoices& voices) {
    std::vector<std::uint8_t> data;
    if (const char* error = readWholeSource(source, data)) {
        return error;
    }
    std::size_t start = 0;
    if (const char* error = findMp3Start(data.data(), data.size(), start)) {
        return error;
    }
    // One decoding pass into pieces, then each voice gets an array of the
    // exact size; the file's bytes go first, each channel's pieces as they
    // are copied, so that little more than the decoded frames is ever held.
    FramePieces frames(2);
    int rate = 0;
    if (const char* error = decodeMp3Frames(data.data() + start, data.size() - start, frames, rate)) {
        return error;
    }
    if (rate <= 0) {
        rate = mp3HeaderSampleRate(data.data() + start);
    }
    std::vector<std::uint8_t>().swap(data);
    const std::size_t first = voices.size();
    try {
        if (!voices.make(2, 0, static_cast<std::uint32_t>(rate))) {
            return outOfMemory;
        }
    } catch (const std::bad_alloc&) {
        return outOfMemory;
    }
    for (int c = 0; c < 2; ++c) {
        AudioChannel* voice = voices[first + static_cast<std::size_t>(c)];
        if (!allocateChannelSamples(voice, frames.frames())) {
            return outOfMemory;
        }
        frames.moveChannelTo(c, voice->samples.get());
        voice->framesAvailable.store(frames.frames(), std::memory_order_relaxed);
        voice->loadState.store(LoadState::Loaded, std::memory_order_relaxed);
        setInitialPanning(voice, c == 0 ? 0.0f : 1.0f);
    }
    return nullptr;
}

}  // namespace feltrix
