#include "audio/sound_loading.h"

#include <new>
#include <vector>

#include "audio/audio_channel.h"
#include "audio/audio_engine.h"
#include "audio/byte_source.h"
#include "audio/load_error.h"
#include "audio/mp3_reader.h"
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

// Voices made by a reader that are not in the table yet; freed unless handed
// over with release().
class NewVoices {
public:
    ~NewVoices() {
        for (AudioChannel* voice : voices_) {
            freeAudioChannel(voice);
        }
    }
    // Makes `count` voices of `frames` frames each; false when memory runs out.
    bool make(int count, std::uint64_t frames, std::uint32_t sourceRate) {
        for (int i = 0; i < count; ++i) {
            AudioChannel* voice = newAudioChannel();
            if (voice == nullptr) {
                return false;
            }
            voices_.push_back(voice);
            if (!allocateChannelSamples(voice, frames)) {
                return false;
            }
            voice->sourceRate = sourceRate;
        }
        return true;
    }
    std::vector<AudioChannel*>& voices() { return voices_; }
    std::vector<AudioChannel*> release() { return std::move(voices_); }

private:
    std::vector<AudioChannel*> voices_;
};

int fail(const char* text) {
    setLoadError(text);
    return -1;
}

// Marks fully decoded voices as Loaded and appends them in file order; when
// the table cannot grow the load fails with `outOfMemory` and `made` frees them.
int appendLoadedVoices(NewVoices& made, const char* outOfMemory) {
    for (AudioChannel* voice : made.voices()) voice->loadState.store(LoadState::Loaded, std::memory_order_relaxed);
    if (!appendChannels(made.voices())) return fail(outOfMemory);
    return static_cast<int>(made.release().size());
}

}  // namespace

int loadWavChannels(const char* path) {
    std::unique_ptr<FileByteSource> source = FileByteSource::open(path);
    if (!source) {
        return fail(couldNotOpen);
    }
    WavFormat format;
    if (const char* error = readWavHeader(*source, format)) {
        return fail(error);
    }
    NewVoices made;
    try {
        if (!made.make(format.channels, format.frames, format.sampleRate)) {
            return fail(wavOutOfMemory);
        }
        std::vector<float*> outputs;
        for (AudioChannel* voice : made.voices()) {
            outputs.push_back(voice->samples.get());
        }
        const std::uint64_t frames = readWavFrames(*source, format, outputs.data());
        for (int c = 0; c < format.channels; ++c) {
            AudioChannel* voice = made.voices()[static_cast<std::size_t>(c)];
            voice->sampleCount = frames;  // fewer only if the file shrank meanwhile
            voice->framesAvailable.store(frames, std::memory_order_relaxed);
            setInitialPanning(voice, wavChannelPanning(c, format.channels));
        }
    } catch (const std::bad_alloc&) {
        return fail(wavOutOfMemory);
    }
    return appendLoadedVoices(made, wavOutOfMemory);
}

int loadMp3Channels(const char* path) {
    std::vector<std::uint8_t> data;
    {
        std::unique_ptr<FileByteSource> source = FileByteSource::open(path);
        if (!source) {
            return fail(couldNotOpen);
        }
        if (const char* error = readWholeSource(*source, data)) {
            return fail(error);
        }
    }
    std::size_t start = 0;
    if (const char* error = findMp3Start(data.data(), data.size(), start)) {
        return fail(error);
    }
    // One decoding pass into pieces, then each voice gets an array of the
    // exact size; the file's bytes go first, each channel's pieces as they
    // are copied, so that little more than the decoded frames is ever held.
    FramePieces frames(2);
    int rate = 0;
    if (const char* error = decodeMp3Frames(data.data() + start, data.size() - start, frames, rate)) {
        return fail(error);
    }
    if (rate <= 0) {
        rate = mp3HeaderSampleRate(data.data() + start);
    }
    std::vector<std::uint8_t>().swap(data);
    NewVoices made;
    try {
        if (!made.make(2, 0, static_cast<std::uint32_t>(rate))) {
            return fail(mp3OutOfMemory);
        }
    } catch (const std::bad_alloc&) {
        return fail(mp3OutOfMemory);
    }
    for (int c = 0; c < 2; ++c) {
        AudioChannel* voice = made.voices()[static_cast<std::size_t>(c)];
        if (!allocateChannelSamples(voice, frames.frames())) {
            return fail(mp3OutOfMemory);
        }
        frames.moveChannelTo(c, voice->samples.get());
        voice->framesAvailable.store(frames.frames(), std::memory_order_relaxed);
    }
    AudioChannel* left = made.voices()[0];
    AudioChannel* right = made.voices()[1];
    setInitialPanning(left, 0.0f);
    setInitialPanning(right, 1.0f);
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
