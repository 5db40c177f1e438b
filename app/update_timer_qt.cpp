#include "app/update_timer_qt.h"

#include "app/script_host.h"

namespace feltrix {

QtUpdateTimer::QtUpdateTimer(ScriptHost& host) {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [&host] { host.runUpdateCycle(); });
}

void QtUpdateTimer::arm(int periodMs) { timer_.start(periodMs); }

}  // namespace feltrix
