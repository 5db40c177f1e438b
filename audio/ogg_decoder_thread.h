#pragma once
// Decoding Ogg files into their voices, the first part while the load waits
// and the rest on a background thread of its own.
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/audio_channel.h"
#include "audio/ogg_reader.h"

namespace feltrix {

// A counting semaphore: how many Ogg files may be read at once.
class DecodeSlots {
public:
    explicit DecodeSlots(int count) : free_(count) {}
    void acquire();  // waits, without time-out, for a free slot
    void release();
    int available();

private:
    std::mutex mutex_;
    std::condition_variable freed_;
    int free_;
};

// The engine's 17 decoding slots, made on first use. An Ogg file holds one
// from the start of its load until its decoding has ended or failed.
DecodeSlots& oggDecodeSlots();
constexpr int kOggDecodeSlots = 17;

// Frames the load decodes before it returns; the rest goes to the background.
constexpr std::uint64_t kOggFramesBeforeReturn = 50000;

// One file being decoded: its voices (in the file's channel order), the open
// stream and the slot it holds. Whoever ends the decoding gives the slot back.
struct OggDecodeJob {
    std::vector<AudioChannel*> voices;
    std::vector<bool> released;  // voice freed by the decoder (it was orphaned)
    std::unique_ptr<OggStream> stream;
    bool holdsSlot = true;

    // Closes the stream and gives the slot back, each at most once.
    void endDecoding();
};

// Decodes until `limit` frames more are in the voices (0 = no limit).
// Returns the frames decoded (> 0: limit reached, more to come), 0 when the
// decoding has ended (end of the sound, or every voice dropped from the table
// meanwhile), or a negative libvorbisfile code. On 0 or an error the stream is
// closed and the slot given back. On 0 every voice still held is Loaded; on
// an error the voices are left as they were, for the caller to settle.
long decodeOggFrames(OggDecodeJob& job, std::uint64_t limit);

// Ends an unfinished job after a decoding error: voices that stay in the
// table keep the frames decoded so far and become Loaded (the rest plays as
// silence), orphaned ones are freed.
void settleVoicesAfterError(OggDecodeJob& job);

// Runs the rest of the decoding on a new thread that owns the job. Returns
// false, handing the job back untouched, when no thread could be started.
bool startOggDecoderThread(std::unique_ptr<OggDecodeJob>& job);

// Waits until no decoder thread is running any more: every Ogg file loaded
// so far is then completely in its voices (or has failed).
void waitForOggDecoderThreads();

// Tests: make the next thread starts fail, as when the system has no threads
// left to give.
void failOggThreadStartsForTesting(bool fail);

}  // namespace feltrix
