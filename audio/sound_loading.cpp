#include "audio/sound_loading.h"

#include <cstdio>
#include <new>
#include <vector>

#include "audio/audio_channel.h"
#include "audio/audio_engine.h"
#include "audio/byte_source.h"
#include "audio/load_error.h"
#include "audio/mp3_reader.h"
#include "audio/new_voices.h"
#include "audio/ogg_decoder_thread.h"
#include "audio/ogg_reader.h"
#include "audio/wav_reader.h"

namespace feltrix {

namespace {

const char* const couldNotOpen = "Could not open file";
const char* const wavOutOfMemory = "Not enough memory for WAV file";
const char* const mp3OutOfMemory = "Not enough memory for MP3 file";
const char* const oggCouldNotOpen = "Error opening file.";
const char* const oggOutOfMemory = "Could not load ogg file: out of memory.";

int fail(const char* text) {
    setLoadError(text);
    return -1;
}

// Appends fully decoded voices in file order; when the table cannot grow the
// load fails with `outOfMemory` and `made` frees them.
int appendLoadedVoices(NewVoices& made, const char* outOfMemory) {
    if (!appendChannels(made.voices())) return fail(outOfMemory);
    return static_cast<int>(made.release().size());
}

}  // namespace

int loadWavChannels(const char* path) {
    std::unique_ptr<FileByteSource> source = FileByteSource::open(path);
    if (!source) {
        return fail(couldNotOpen);
    }
    NewVoices made;
    if (const char* error = readWavFile(*source, made)) {
        return fail(error);
    }
    return appendLoadedVoices(made, wavOutOfMemory);
}

int loadMp3Channels(const char* path) {
    NewVoices made;
    {
        std::unique_ptr<FileByteSource> source = FileByteSource::open(path);
        if (!source) {
            return fail(couldNotOpen);
        }
        if (const char* error = readMp3File(*source, made)) {
            return fail(error);
        }
    }
    return appendLoadedVoices(made, mp3OutOfMemory);
}

int loadOggChannels(const char* path) {
    DecodeSlots& slots = oggDecodeSlots();
    slots.acquire();
    std::unique_ptr<OggDecodeJob> job(new (std::nothrow) OggDecodeJob);
    if (!job) {
        slots.release();
        return fail(oggOutOfMemory);
    }
    // From here on the job gives the slot back when it ends.
    std::unique_ptr<FileByteSource> source = FileByteSource::open(path);
    if (!source) {
        job->endDecoding();
        return fail(oggCouldNotOpen);
    }
    NewVoices made;
    try {
        job->stream.reset(new OggStream);
        if (const char* error = job->stream->open(std::move(source))) {
            job->endDecoding();
            return fail(error);
        }
        const OggStream& stream = *job->stream;
        if (!stream.unplayedLinksNote().empty()) {
            // Played as oggdec plays it, but nobody would otherwise know why
            // the sound ends early.
            std::printf("warning: Ogg file %s: %s\n", path, stream.unplayedLinksNote().c_str());
        }
        if (!made.make(stream.channels(), stream.totalFrames(), stream.sampleRate())) {
            job->endDecoding();
            return fail(oggOutOfMemory);
        }
        for (int i = 0; i < stream.channels(); ++i) {
            AudioChannel* voice = made.voices()[static_cast<std::size_t>(i)];
            setInitialPanning(voice, oggChannelPanning(i, stream.channels()));
            voice->loadState.store(LoadState::Loading, std::memory_order_relaxed);
        }
        job->voices = made.voices();
        job->released.assign(job->voices.size(), false);
    } catch (const std::bad_alloc&) {
        job->endDecoding();
        return fail(oggOutOfMemory);
    }

    long r = decodeOggFrames(*job, kOggFramesBeforeReturn);
    if (r < 0) {
        return fail(oggDecodingErrorText(r));  // the voices go with `made`
    }
    // In the table before the rest is decoded: a table that cannot grow
    // fails the load while the voices are still this function's alone.
    if (!appendChannels(made.voices())) {
        job->endDecoding();
        return fail(oggOutOfMemory);  // the voices go with `made`
    }
    const std::vector<AudioChannel*> voices = made.release();
    if (r > 0 && !startOggDecoderThread(job)) {
        // No thread to be had: finish the decoding here rather than leave
        // voices that would never be completed.
        if (decodeOggFrames(*job, 0) < 0) {
            settleVoicesAfterError(*job);
        }
    }
    return static_cast<int>(voices.size());
}

}  // namespace feltrix
