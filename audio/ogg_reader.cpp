#include "audio/ogg_reader.h"

#include <cerrno>
#include <cstring>

#include "audio/load_error.h"

namespace feltrix {

namespace {

std::size_t readCallback(void* buffer, std::size_t size, std::size_t count, void* source) {
    if (size == 0) {
        return 0;
    }
    // libvorbisfile takes a short read with errno set as a read error, so a
    // stale errno from elsewhere must not be left standing.
    errno = 0;
    return static_cast<ByteSource*>(source)->read(buffer, size * count) / size;
}

int seekCallback(void* source, ogg_int64_t offset, int whence) {
    if (source == nullptr) {
        return -1;
    }
    return static_cast<ByteSource*>(source)->seek(offset, whence) ? 0 : -1;
}

int closeCallback(void* source) {
    delete static_cast<ByteSource*>(source);
    return 0;
}

long tellCallback(void* source) { return static_cast<long>(static_cast<ByteSource*>(source)->tell()); }

const ov_callbacks sourceCallbacks = {readCallback, seekCallback, closeCallback, tellCallback};

const char* testCallbacksText(int code) {
    switch (code) {
    case OV_EREAD: return "ov_test_callbacks failed: Unable to read from media";
    case OV_EFAULT: return "ov_test_callbacks failed: Internal error";
    case OV_ENOTVORBIS: return "ov_test_callbacks failed: Ogg file does not contain Vorbis audio";
    case OV_EBADHEADER: return "ov_test_callbacks failed: Not a valid Ogg file";
    case OV_EVERSION: return "ov_test_callbacks failed: Vorbis version mismatch";
    default: return "ov_test_callbacks failed: Unknown error";
    }
}

const char* testOpenText(int code) {
    switch (code) {
    case OV_EREAD: return "ov_test_open failed: Unable to read from media";
    case OV_EFAULT: return "ov_test_open failed: Internal error";
    case OV_ENOTVORBIS: return "ov_test_open failed: Ogg file does not contain Vorbis audio";
    case OV_EBADHEADER: return "ov_test_open failed: Not a valid Ogg file";
    case OV_EVERSION: return "ov_test_open failed: Vorbis version mismatch";
    default: return "ov_test_open failed: Unknown error";
    }
}

}  // namespace

OggStream::OggStream() { std::memset(&file_, 0, sizeof file_); }

OggStream::~OggStream() { close(); }

void OggStream::close() {
    if (open_) {
        ov_clear(&file_);  // closes the source through closeCallback
        open_ = false;
    }
}

const char* OggStream::open(std::unique_ptr<ByteSource> source) {
    close();
    // On failure libvorbisfile clears its state but leaves the source open:
    // the unique_ptr still owns it then and closes it on return.
    int result = ov_test_callbacks(source.get(), &file_, nullptr, 0, sourceCallbacks);
    if (result != 0) {
        return testCallbacksText(result);
    }
    result = ov_test_open(&file_);
    if (result != 0) {
        return testOpenText(result);
    }
    source.release();  // ov_clear closes it from now on
    open_ = true;

    vorbis_info* first = ov_info(&file_, 0);
    if (first == nullptr || first->channels <= 0 || first->rate <= 0) {
        close();
        return testOpenText(OV_EBADHEADER);
    }
    if (first->channels > kMaxFileChannels) {
        close();
        return "Ogg file has too many channels";
    }
    channels_ = first->channels;
    sampleRate_ = static_cast<std::uint32_t>(first->rate);
    const long links = ov_streams(&file_);
    if (links > 1) {
        // After opening a chained file libvorbisfile 1.3.7 stands at the
        // second link, and the first would never be heard: go back to the
        // very start.
        result = ov_raw_seek(&file_, 0);
        if (result != 0) {
            close();
            return testOpenText(result);
        }
    }
    playedLinks_ = 0;
    totalFrames_ = 0;
    unplayedLinksNote_.clear();
    for (long i = 0; i < links; ++i) {
        vorbis_info* info = ov_info(&file_, static_cast<int>(i));
        ogg_int64_t frames = ov_pcm_total(&file_, static_cast<int>(i));
        if (info == nullptr || info->channels != first->channels || info->rate != first->rate ||
            frames < 0) {
            using std::to_string;
            unplayedLinksNote_ = "the rest of the file, from stream " + to_string(i + 1) + " of " + to_string(links) +
                                 " on, was not loaded: ";
            unplayedLinksNote_ += info == nullptr || frames < 0
                ? "that stream cannot be read"
                : "it has " + to_string(info->channels) + " channel(s) at " + to_string(info->rate) +
                      " Hz, the first stream " + to_string(first->channels) + " at " + to_string(first->rate) + " Hz";
            break;
        }
        totalFrames_ += static_cast<std::uint64_t>(frames);
        ++playedLinks_;
    }
    return nullptr;
}

long OggStream::read(float**& pcm, int maxFrames) {
    if (!open_) {
        return OV_EINVAL;
    }
    int link = 0;
    long got = ov_read_float(&file_, &pcm, maxFrames, &link);
    if (got > 0 && (link < 0 || link >= playedLinks_)) {
        return 0;  // a link of another layout (or one past the played ones)
    }
    return got;
}

const char* oggDecodingErrorText(long code) {
    switch (code) {
    case OV_EBADLINK: return "Invalid stream section";
    case OV_EINVAL: return "Headers corrupt";
    case OV_HOLE: return "File corrupt";
    default: return "If you're reading this, God help you";
    }
}

float oggChannelPanning(int index, int channels) {
    switch (channels) {
    case 1: return 0.5f;
    case 2: return static_cast<float>(index);
    case 3: return static_cast<float>(index) * 0.5f;
    case 4: return static_cast<float>(index % 2);
    default:
        switch (index) {
        case 0: return 0.0f;
        case 1: return 0.5f;
        case 2: return 1.0f;
        case 3: return 0.0f;
        case 4: return 1.0f;
        default: return 0.5f;
        }
    }
}

}  // namespace feltrix
