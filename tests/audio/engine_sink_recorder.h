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

// Interleaved float samples of a float32 WAV file as parecord writes it (the
// chunk list walked to the data chunk); empty when it cannot be read.
std::vector<float> readFloatWav(const std::string& path, int* channels);

}  // namespace feltrix::testing
