#include "tools/render/sound_file_writer.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>

namespace feltrix::render {
namespace {

bool endsWithFlac(const std::string& path) {
    const std::string suffix = ".flac";
    if (path.size() < suffix.size()) return false;
    std::string end = path.substr(path.size() - suffix.size());
    std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return std::tolower(c); });
    return end == suffix;
}

}  // namespace

SoundFileWriter::~SoundFileWriter() { abandon(); }

bool SoundFileWriter::open(const std::string& path, int rate, std::optional<SampleFormat> format,
                           std::string& error) {
    const bool flac = endsWithFlac(path);
    if (flac && format == SampleFormat::Float32) {
        error = "FLAC files hold 16-bit samples here: leave out --format or give --format s16";
        return false;
    }
    const bool float32 = !flac && format.value_or(SampleFormat::Float32) == SampleFormat::Float32;
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = (flac ? SF_FORMAT_FLAC : SF_FORMAT_WAV) | (float32 ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_16);
    std::string reason;
    if (!beginFileReplacement(path, file_, reason)) {
        error = "cannot write \"" + path + "\": " + reason;
        return false;
    }
    sound_ = sf_open_fd(file_.descriptor, SFM_WRITE, &info, SF_FALSE);
    if (sound_ == nullptr) {
        error = "cannot write \"" + path + "\": " + sf_strerror(nullptr);
        abandonFileReplacement(file_);
        return false;
    }
    // The same session gives the same bytes: no PEAK chunk (it holds the
    // time of writing). Integer samples clip instead of wrapping around.
    sf_command(sound_, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    sf_command(sound_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return true;
}

bool SoundFileWriter::write(const float* frames, std::uint64_t count) {
    const sf_count_t written = sf_writef_float(sound_, frames, static_cast<sf_count_t>(count));
    framesWritten_ += static_cast<std::uint64_t>(written);
    return written == static_cast<sf_count_t>(count);
}

bool SoundFileWriter::finish(std::string& error) {
    const int closed = sf_close(sound_);
    sound_ = nullptr;
    if (closed != 0 || !commitFileReplacement(file_)) {
        error = "cannot write \"" + file_.path + "\"";
        abandonFileReplacement(file_);
        return false;
    }
    return true;
}

void SoundFileWriter::abandon() {
    if (sound_ != nullptr) sf_close(sound_);
    sound_ = nullptr;
    if (file_.descriptor >= 0) abandonFileReplacement(file_);
}

}  // namespace feltrix::render
