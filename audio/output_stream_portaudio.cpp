// The output stream on PortAudio's default output device: a thin adapter that
// hands each block to the mixer.
#include <portaudio.h>

#include <cstdio>

#include "audio/audio_engine.h"
#include "audio/audio_system.h"
#include "audio/mixer.h"
#include "audio/output_stream.h"

namespace feltrix {
namespace {

PaStream* outputStream = nullptr;  // never closed once open

// Audio thread.
int mixCallback(const void* /*input*/, void* output, unsigned long frameCount,
                const PaStreamCallbackTimeInfo* /*timeInfo*/, PaStreamCallbackFlags /*statusFlags*/,
                void* userData) {
    audio_thread::mixChannels(*static_cast<ChannelTable*>(userData), static_cast<float*>(output),
                              static_cast<std::uint32_t>(frameCount));
    return paContinue;
}

}  // namespace

int initAudio() {
    ChannelTable& table = engineChannelTable();  // exists whatever happens below
    PaError error = Pa_Initialize();
    if (error != paNoError) {
        std::printf("Error initializing PortAudio: %s\n", Pa_GetErrorText(error));
        return error;
    }
    const PaDeviceIndex device = Pa_GetDefaultOutputDevice();
    const PaDeviceInfo* info = device != paNoDevice ? Pa_GetDeviceInfo(device) : nullptr;
    if (info == nullptr) {
        // No sound device: the table keeps working, nothing is heard.
        std::printf("Error opening default PortAudio stream: %s\n", Pa_GetErrorText(paDeviceUnavailable));
        return paDeviceUnavailable;
    }
    const int sampleRate = static_cast<int>(info->defaultSampleRate);
    table.setSampleRate(sampleRate);

    PaStreamParameters parameters{};
    parameters.device = device;
    parameters.channelCount = 2;
    parameters.sampleFormat = paFloat32;
    parameters.suggestedLatency = info->defaultLowOutputLatency;
    parameters.hostApiSpecificStreamInfo = nullptr;
    error = Pa_OpenStream(&outputStream, nullptr, &parameters, sampleRate, paFramesPerBufferUnspecified, paNoFlag,
                          mixCallback, &table);
    if (error != paNoError) {
        outputStream = nullptr;
        std::printf("Error opening default PortAudio stream: %s\n", Pa_GetErrorText(error));
        return error;
    }
    return 0;
}

void startOutputStream() {
    if (outputStream == nullptr) return;
    const PaError error = Pa_StartStream(outputStream);
    if (error != paNoError) std::printf("Error starting PortAudio stream: %s\n", Pa_GetErrorText(error));
}

bool stopOutputStream() {
    if (outputStream == nullptr || Pa_IsStreamStopped(outputStream) != 0) return false;
    Pa_AbortStream(outputStream);
    return true;
}

}  // namespace feltrix
