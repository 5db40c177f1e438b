#pragma once
// Where a rendered session's EEG values come from: a recording made by the
// stand-in, or the stand-in's synthetic EEG and measures computed in-process.
// Each update cycle sees the latest frame whose time is not after its own.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "tools/acquire/host_variables.h"
#include "tools/acquire/source_frames.h"
#include "tools/acquire/synthetic_source.h"
#include "tools/acquire/tick_recording.h"

namespace feltrix::render {

// Session time in microseconds: exact for the recordings' six decimals and
// for every whole millisecond of the update clock.
using Micros = std::int64_t;
Micros toMicros(double seconds);

class SessionValues {
public:
    virtual ~SessionValues() = default;
    // Moves frame() on to the latest frame at or before `time` (all zeros
    // before the first). False with a message on a read error.
    virtual bool advanceTo(Micros time, std::string& error) = 0;
    const eegsim::HostFrame& frame() const { return frame_; }

protected:
    eegsim::HostFrame frame_;
};

class ReplayValues : public SessionValues {
public:
    // Opens the recording and checks every row (format, times in order), so
    // that a bad file is reported before anything is rendered.
    bool open(const std::string& path, std::string& error);
    // Time of the last row: the session's length.
    Micros length() const { return length_; }
    bool advanceTo(Micros time, std::string& error) override;

private:
    bool readPending(std::string& error);

    eegsim::TickReplayer replayer_;
    Micros length_ = 0;
    std::optional<Micros> pendingTime_;  // the next row, read ahead
    eegsim::HostFrame pending_;
};

class SyntheticValues : public SessionValues {
public:
    SyntheticValues(const eegsim::SyntheticConfig& synthetic, const eegsim::AnalysisConfig& analysis);
    bool advanceTo(Micros time, std::string& error) override;

private:
    eegsim::SyntheticSource source_;
    eegsim::SourceFrames frames_;
};

// The interface library as the script host sees it while rendering: with
// values, tryLoadQuenterra binds to an in-memory stand-in whose variables
// hold the current frame; without, it fails as when the library is missing.
void installSessionLibrary(bool withValues);
// Makes `frame` what the next update cycle reads.
void publishSessionFrame(const eegsim::HostFrame& frame);

}  // namespace feltrix::render
