#pragma once
// What a program really plays: a null sink of the test sound server (PULSE_SERVER, started by
// scripts/test.sh) made for one test alone, recorded by parecord as raw float32 stereo at 48 kHz.
// The program plays into it when started with PULSE_SINK set to sink().
#include <memory>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace feltrix::testing {

bool soundServerAvailable();

class SinkRecorder {
public:
    static constexpr int kRate = 48000;
    // Records into `path`; started() tells whether the recording runs.
    explicit SinkRecorder(const std::string& path);
    ~SinkRecorder();
    SinkRecorder(const SinkRecorder&) = delete;
    SinkRecorder& operator=(const SinkRecorder&) = delete;
    const std::string& sink() const { return sink_; }
    bool started() const { return started_; }
    // Ends the recording; returns its interleaved samples (left, right, ...).
    std::vector<float> stop();

private:
    std::string path_, sink_, module_;
    std::unique_ptr<BackgroundProgram> parecord_;
    bool started_ = false;
};

}  // namespace feltrix::testing
