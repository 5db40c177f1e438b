#pragma once
// Pieces of a demo session for tests: the EEG stand-in running in the
// background with a fixed seed and an area of its own, a recorder on the test
// sound server's sink, and a copy of the built demo folder.
#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/test_area_name.h"

namespace feltrix::testing {

// feltrix-eegsim with synthetic EEG, writing a shared area whose name is
// unique to this object; the area is removed when the object goes.
class StandIn {
public:
    explicit StandIn(unsigned seed, const std::vector<std::string>& options = {});
    ~StandIn();
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;
    // The value Feltrix needs in PELGRIN32_AREA_NAME to read this stand-in.
    const std::string& areaName() const { return area_.name(); }
    bool running() const;

private:
    TestAreaName area_{"demo"};
    pid_t pid_ = -1;
};

// parecord on the sink's monitor (FELTRIX_TEST_SINK, default ci_sink),
// float32 stereo at 48 kHz. Only usable when PULSE_SERVER is set.
class SinkRecorder {
public:
    explicit SinkRecorder(std::string path);
    ~SinkRecorder();
    SinkRecorder(const SinkRecorder&) = delete;
    SinkRecorder& operator=(const SinkRecorder&) = delete;
    // True once the recording has started (its file grew past the header).
    bool started() const { return started_; }
    // Stops the recorder and returns the RMS level of everything recorded
    // (both sides), or -1 when nothing could be read.
    double stopAndMeasureRms();

private:
    void stop();
    std::string path_;
    pid_t pid_ = -1;
    bool started_ = false;
};

bool soundServerAvailable();

// build/demo, as the build makes it (init script, examples/, sounds/).
std::string builtDemoFolder();
// Copies the built demo folder's contents into `folder`.
void copyDemoFolder(const std::string& folder);

}  // namespace feltrix::testing
