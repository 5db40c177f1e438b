#pragma once
// Renders a session: runs the init script with Feltrix's own script host,
// then update cycle k at session time k x the update interval (following
// every change of it), and between two cycles pulls exactly the frames of
// that interval from the mixer into the sound file.
#include <cstdint>
#include <string>

#include "tools/render/render_options.h"
#include "tools/render/session_values.h"
#include "tools/render/sound_file_writer.h"

namespace feltrix::render {

struct RenderOutcome {
    int exitCode = 0;
    std::uint64_t frames = 0;  // frames written
    double wallSeconds = 0.0;
};

// Runs `scriptName` in the current folder against `values` (null: zeros)
// for `length` of session time at `rate`, writing to `output` (already
// open), mixing on `threads` threads (0: one per processor core; the file is
// the same whatever their number). Errors are reported on standard error as one line each. A script
// that calls exit() ends the process here with code 0 once the file holds
// what was rendered until then.
RenderOutcome renderSession(const std::string& scriptName, SessionValues* values, Micros length, int rate,
                            SoundFileWriter& output, unsigned threads = 0);

}  // namespace feltrix::render
