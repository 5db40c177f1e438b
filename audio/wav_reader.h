#pragma once
// Reading RIFF WAVE files: the chunk list is walked to the "fmt " and "data"
// chunks, so files with longer format chunks or LIST/fact chunks before the
// data load as well as the canonical 44-byte layout.
#include "audio/byte_source.h"
#include "audio/new_voices.h"

namespace feltrix {

// Reads a whole WAV file into one new voice per channel of the file, each
// Loaded and with its load-time panning (a stereo pair fully left and right,
// any other layout in the middle). Null on success, else the load-failure
// text; voices made before a failure are freed with `voices`.
const char* readWavFile(ByteSource& source, NewVoices& voices);

}  // namespace feltrix
