#pragma once
// The periodic timer that drives the update cycle (one per process). The
// window system provides it; it fires on the main thread.
namespace feltrix {

class UpdateTimer {
public:
    virtual ~UpdateTimer() = default;
    // Starts the timer with the given period, or restarts it with a new one:
    // the next tick comes one full period after this call.
    virtual void arm(int periodMs) = 0;
};

}  // namespace feltrix
