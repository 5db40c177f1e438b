#pragma once
// The rendered sound file: stereo frames written with libsndfile under a
// temporary name beside the final one, renamed over it once complete.
#include <cstdint>
#include <optional>
#include <string>

#include "app/file_replace.h"
#include "tools/render/render_options.h"

struct sf_private_tag;  // libsndfile's SNDFILE

namespace feltrix::render {

class SoundFileWriter {
public:
    SoundFileWriter() = default;
    ~SoundFileWriter();
    SoundFileWriter(const SoundFileWriter&) = delete;
    SoundFileWriter& operator=(const SoundFileWriter&) = delete;

    // WAV, or FLAC for a name ending in ".flac" (any case); float samples
    // unless `format` says otherwise (FLAC holds 16-bit samples only).
    bool open(const std::string& path, int rate, std::optional<SampleFormat> format, std::string& error);
    // Writes `count` interleaved stereo frames.
    bool write(const float* frames, std::uint64_t count);
    // Completes the file and gives it its final name.
    bool finish(std::string& error);
    // Drops the unfinished file.
    void abandon();

    std::uint64_t framesWritten() const { return framesWritten_; }
    const std::string& path() const { return file_.path; }

private:
    FileReplacement file_;
    sf_private_tag* sound_ = nullptr;
    std::uint64_t framesWritten_ = 0;
};

}  // namespace feltrix::render
