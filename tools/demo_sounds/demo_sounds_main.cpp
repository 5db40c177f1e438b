// feltrix-demo-sounds: writes the demo's sounds as 16-bit WAV files into a
// folder, at 48 kHz or the rate given. The build then encodes each one to Ogg Vorbis and MP3 as well.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/demo_sounds/synthesis.h"
#include "tools/demo_sounds/wav_file.h"

int main(int argc, char** argv) {
    const int rate = argc == 3 ? std::atoi(argv[2]) : demosounds::kDefaultSampleRate;
    if (argc < 2 || argc > 3 || rate < 8000 || rate > 192000) {
        std::printf("usage: %s OUTPUT_FOLDER [RATE]\nwrites %zu WAV files into OUTPUT_FOLDER (which must exist), "
                    "at RATE Hz (8000..192000; default %d)\n",
                    argv[0], demosounds::demoSounds().size(), demosounds::kDefaultSampleRate);
        return 2;
    }
    const std::string folder = argv[1];
    for (const demosounds::NamedSound& entry : demosounds::demoSounds()) {
        const std::string path = folder + "/" + entry.name + ".wav";
        std::string error;
        if (!demosounds::writeWav16(path, entry.make(rate), error)) {
            std::printf("feltrix-demo-sounds: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
