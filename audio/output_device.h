#pragma once
// The sound output device as the output supervisor (audio/output_supervisor.h)
// sees it: open a stream on the default device, start it, watch it, close it.
// The audio library behind it is not thread-safe: one thread, the
// supervisor's, makes every call on an OutputDevice.
#include <cstdint>
#include <memory>
#include <string>

#include "audio/channel_table.h"

namespace feltrix {

struct DeviceResult {
    int code = 0;         // 0 on success, else the audio library's error code
    std::string message;  // the console line that explains a failure
};

class OutputDevice {
public:
    virtual ~OutputDevice() = default;
    // Opens a stopped stream on the default output device that mixes `table`
    // and gives the table the device's rate. With `rescan` the device list is
    // made afresh first: the list made earlier knows no device added since.
    virtual DeviceResult open(ChannelTable& table, bool rescan) = 0;
    virtual DeviceResult start() = 0;
    // Stops and closes the stream (also one whose device has gone).
    virtual void close() = 0;
    // Blocks the stream has mixed so far: it stops moving when the device
    // stops taking sound.
    virtual std::uint64_t blocksMixed() const = 0;
    // Why a started stream has ended, or empty while it runs.
    virtual std::string failure() = 0;
    // The name of the device the stream is open on.
    virtual std::string deviceName() const = 0;
    // Times the device ran out of sound (underruns) in all streams so far;
    // any thread may ask.
    virtual std::uint64_t underruns() const { return 0; }
    // Once a started stream has mixed blocks: where its callback runs at
    // real-time priority, gives the threads carrying its sound on the same and
    // returns empty; else a console line saying why not and what to do.
    virtual std::string settleRealtimePriority() const { return {}; }
};

// The default output device of the platform's audio library.
std::unique_ptr<OutputDevice> makeDefaultOutputDevice();

}  // namespace feltrix
