// feltrix-demo-sounds: writes the demo's sounds as 16-bit WAV files into a
// folder. The build then encodes each one to Ogg Vorbis and MP3 as well.
#include <cstdio>
#include <string>

#include "tools/demo_sounds/synthesis.h"
#include "tools/demo_sounds/wav_file.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("usage: %s OUTPUT_FOLDER\nwrites %zu WAV files into OUTPUT_FOLDER (which must exist)\n", argv[0],
                    demosounds::demoSounds().size());
        return 2;
    }
    const std::string folder = argv[1];
    for (const demosounds::NamedSound& entry : demosounds::demoSounds()) {
        const std::string path = folder + "/" + entry.name + ".wav";
        std::string error;
        if (!demosounds::writeWav16(path, entry.make(), error)) {
            std::printf("feltrix-demo-sounds: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
