#pragma once
// Records what the test sound server's sink plays (its monitor) into a WAV
// file with parecord, as float32 stereo at 48 kHz, while a test runs.
#include <string>
#include <vector>

namespace feltrix::testing {

class SinkRecorder {
public:
    // Starts parecord on `sink`.monitor writing to `path`; started() tells
    // whether that worked.
    SinkRecorder(const std::string& sink, const std::string& path);
    // Stops the recording (SIGINT, so that parecord completes the file).
    ~SinkRecorder();
    bool started() const { return pid_ > 0; }
    // Ends the recording and waits (bounded) for parecord to exit.
    bool stop();

private:
    int pid_ = -1;
};

// A null sink of the test sound server for one test alone (pactl
// load-module), so that sounds of tests running in parallel do not mix into
// its recording; unloaded when the object goes. name() is empty when the
// sink could not be made.
class PrivateSink {
public:
    explicit PrivateSink(const std::string& name);
    ~PrivateSink();
    PrivateSink(const PrivateSink&) = delete;
    PrivateSink& operator=(const PrivateSink&) = delete;
    const std::string& name() const { return name_; }

private:
    std::string name_;
    std::string module_;
};

// Interleaved float samples of a float32 WAV file as parecord writes it (the
// chunk list walked to the data chunk); empty when it cannot be read.
std::vector<float> readFloatWav(const std::string& path, int* channels);

}  // namespace feltrix::testing
