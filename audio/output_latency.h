#pragma once
// Which of the default output device's latencies the stream asks for.
namespace feltrix {

enum class OutputLatency {
    Low,   // the device's default low output latency
    High,  // the device's default high output latency
};

OutputLatency preferredOutputLatency();

}  // namespace feltrix
