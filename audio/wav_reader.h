#pragma once
// Reading RIFF WAVE files: the chunk list is walked to the "fmt " and "data"
// chunks, so files with longer format chunks or LIST/fact chunks before the
// data load as well as the canonical 44-byte layout.
//
// Sample forms, all converted to floats in -1..+1:
// - PCM (format tag 1, or the extensible PCM sub-format): 8-bit unsigned,
//   16 and 24-bit signed integers (scaled by 2^-15 and 2^-23);
// - 32-bit integers under the extensible PCM sub-format (scaled by 2^-31);
// - 32-bit IEEE floats under tag 3 or the extensible float sub-format,
//   clipped to -1..+1, NaN read as 0;
// - 32 bits under the plain PCM tag: the data decides, once per file. Files
//   written for this program hold floats there, other writers integers, and
//   integers read as floats give NaNs and huge values: so the file is floats
//   when every sample is a finite float within -2..+2, integers otherwise.
// Other tags: "WAV file is not raw PCM"; other depths: "WAV file has
// unsupported bits per sample".
#include "audio/byte_source.h"
#include "audio/new_voices.h"

namespace feltrix {

// Reads a whole WAV file into one new voice per channel of the file, each
// Loaded and with its load-time panning (a stereo pair fully left and right,
// any other layout in the middle). Null on success, else the load-failure
// text; voices made before a failure are freed with `voices`.
const char* readWavFile(ByteSource& source, NewVoices& voices);

}  // namespace feltrix
