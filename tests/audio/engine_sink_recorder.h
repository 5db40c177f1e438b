#pragma once
// Records what a null sink of the test sound server plays: the sink is made
// for one test alone (so that tests playing in parallel do not mix into it)
// and its monitor recorded by parecord as raw float32 stereo at 48 kHz.
#include <string>
#include <vector>

namespace feltrix::testing {

class SinkRecorder {
public:
    // Makes sink `sink` and starts recording it into `path`.
    SinkRecorder(const std::string& sink, const std::string& path);
    ~SinkRecorder();  // stops the recording and unloads the sink
    SinkRecorder(const SinkRecorder&) = delete;
    SinkRecorder& operator=(const SinkRecorder&) = delete;
    bool started() const { return pid_ > 0; }
    // Ends the recording (bounded wait) and returns its interleaved samples.
    std::vector<float> stop();

private:
    std::string path_;
    std::string module_;
    int pid_ = -1;
};

}  // namespace feltrix::testing
