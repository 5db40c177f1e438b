#pragma once
#include <QTimer>

#include "app/update_timer.h"

namespace feltrix {

class ScriptHost;

// The update timer on the Qt event loop of the main thread.
class QtUpdateTimer : public UpdateTimer {
public:
    explicit QtUpdateTimer(ScriptHost& host);
    void arm(int periodMs) override;

private:
    QTimer timer_;
};

}  // namespace feltrix
