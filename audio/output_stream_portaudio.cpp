// The output stream on PortAudio's default output device: a thin adapter that
// hands each block to the mixer. Only the output supervisor's thread calls it.
#include <portaudio.h>

#include <atomic>
#include <cstdio>

#include "audio/mixer.h"
#include "audio/output_device.h"
#include "audio/output_latency.h"
#include "audio/stream_priority.h"

namespace feltrix {
namespace {

// What the stream's callbacks share with the supervisor's thread.
struct StreamContext {
    ChannelTable* table = nullptr;
    std::atomic<std::uint64_t> blocks{0};
    // Blocks that came after the device ran out of sound, over every stream.
    std::atomic<std::uint64_t> underruns{0};
    std::atomic<bool> finished{false};
};

// Audio thread.
int mixCallback(const void* /*input*/, void* output, unsigned long frameCount,
                const PaStreamCallbackTimeInfo* /*timeInfo*/, PaStreamCallbackFlags statusFlags,
                void* userData) {
    auto* context = static_cast<StreamContext*>(userData);
    noteCallbackThread();
    if ((statusFlags & paOutputUnderflow) != 0) context->underruns.fetch_add(1, std::memory_order_relaxed);
    audio_thread::mixChannels(*context->table, static_cast<float*>(output), static_cast<std::uint32_t>(frameCount));
    context->blocks.fetch_add(1, std::memory_order_release);
    return paContinue;
}

// Audio thread: the stream ended on its own (its device went away).
void streamFinished(void* userData) {
    static_cast<StreamContext*>(userData)->finished.store(true, std::memory_order_release);
}

DeviceResult failed(int code, const char* format) {
    char line[256];
    std::snprintf(line, sizeof line, format, Pa_GetErrorText(code));
    return DeviceResult{code, line};
}

class PortAudioOutput final : public OutputDevice {
public:
    ~PortAudioOutput() override = default;  // the process ends with the stream

    DeviceResult open(ChannelTable& table, bool rescan) override {
        close();
        if (rescan && initialized_) {
            Pa_Terminate();
            initialized_ = false;
        }
        if (!initialized_) {
            const PaError error = Pa_Initialize();
            if (error != paNoError) return failed(error, "Error initializing PortAudio: %s\n");
            initialized_ = true;
        }
        const PaDeviceIndex device = Pa_GetDefaultOutputDevice();
        const PaDeviceInfo* info = device != paNoDevice ? Pa_GetDeviceInfo(device) : nullptr;
        if (info == nullptr) return failed(paDeviceUnavailable, "Error opening default PortAudio stream: %s\n");
        const int sampleRate = static_cast<int>(info->defaultSampleRate);

        PaStreamParameters parameters{};
        parameters.device = device;
        parameters.channelCount = 2;
        parameters.sampleFormat = paFloat32;
        parameters.suggestedLatency = preferredOutputLatency() == OutputLatency::High ? info->defaultHighOutputLatency
                                                                                     : info->defaultLowOutputLatency;
        parameters.hostApiSpecificStreamInfo = nullptr;
        context_.table = &table;
        context_.finished.store(false, std::memory_order_relaxed);
        // The rate is set before the first block can mix with it.
        table.setSampleRate(sampleRate);
        PaStream* stream = nullptr;
        const PaError error = Pa_OpenStream(&stream, nullptr, &parameters, sampleRate, paFramesPerBufferUnspecified,
                                            paNoFlag, mixCallback, &context_);
        if (error != paNoError) return failed(error, "Error opening default PortAudio stream: %s\n");
        stream_ = stream;
        requestRealtimeCallback(stream_, device);
        name_ = info->name != nullptr ? info->name : "";
        Pa_SetStreamFinishedCallback(stream_, streamFinished);
        return {};
    }

    DeviceResult start() override {
        if (stream_ == nullptr) return failed(paBadStreamPtr, "Error starting PortAudio stream: %s\n");
        const PaError error = Pa_StartStream(stream_);
        if (error != paNoError) return failed(error, "Error starting PortAudio stream: %s\n");
        return {};
    }

    void close() override {
        if (stream_ == nullptr) return;
        Pa_AbortStream(stream_);
        Pa_CloseStream(stream_);
        stream_ = nullptr;
    }

    std::uint64_t blocksMixed() const override { return context_.blocks.load(std::memory_order_acquire); }

    std::string failure() override {
        if (stream_ == nullptr) return "the stream is closed";
        if (context_.finished.load(std::memory_order_acquire)) return "the stream ended (its device or sound server went away)";
        const PaError active = Pa_IsStreamActive(stream_);
        if (active < 0) return Pa_GetErrorText(active);
        if (active == 0) return "the stream stopped";
        return {};
    }

    std::string deviceName() const override { return name_; }

    std::uint64_t underruns() const override { return context_.underruns.load(std::memory_order_relaxed); }

    std::string settleRealtimePriority() const override { return feltrix::settleRealtimePriority(); }

private:
    bool initialized_ = false;
    PaStream* stream_ = nullptr;
    StreamContext context_;
    std::string name_;
};

}  // namespace

std::unique_ptr<OutputDevice> makeDefaultOutputDevice() { return std::make_unique<PortAudioOutput>(); }

}  // namespace feltrix
