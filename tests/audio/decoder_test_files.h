#pragma once
// Sound files for the decoder tests, made at test time with the system's own
// encoders (sox, lame, oggenc), and reference decodings by the system's own
// decoders (sox, lame --decode, oggdec).
#include <cstdint>
#include <string>
#include <vector>

namespace feltrix::testing {

// Runs a shell command line (output discarded); true when it exited with 0.
bool runCommand(const std::string& commandLine);

// Interleaved samples of a decoded file, with its layout.
struct Interleaved {
    int channels = 0;
    int sampleRate = 0;
    std::vector<float> samples;
    std::size_t frames() const { return channels ? samples.size() / channels : 0; }
    float at(std::size_t frame, int channel) const { return samples[frame * channels + channel]; }
};

// What sox decodes from a file, rounded to 32-bit floats.
Interleaved soxDecode(const std::string& path, int channels, int sampleRate);
// What `lame --decode` / oggdec make of a file (16-bit WAV read back exactly).
Interleaved lameDecode(const std::string& mp3Path, const std::string& workDir);
Interleaved oggdecDecode(const std::string& oggPath, const std::string& workDir);

// Makes `folder`/`name`.wav with `seconds` of a two-tone chord (sox), and from
// it `name`.ogg (oggenc) or `name`.mp3 (lame); returns the file's path.
std::string makeWav(const std::string& folder, const std::string& name, int channels, int rate, double seconds);
std::string makeOgg(const std::string& folder, const std::string& name, int channels, int rate, double seconds);
std::string makeMp3(const std::string& folder, const std::string& name, int channels, int rate, double seconds);

// Bytes of a file ("" when it cannot be read) and writing bytes to one.
std::string fileBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);

// Little-endian field builders for hand-made headers.
std::string le16(std::uint16_t v);
std::string le32(std::uint32_t v);
// A RIFF WAVE file with the given chunks after the form type.
std::string riffWave(const std::string& chunks);
std::string chunk(const std::string& id, const std::string& body, std::uint32_t declaredSize);
std::string chunk(const std::string& id, const std::string& body);
// A 16-byte PCM "fmt " body.
std::string fmtBody(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                    std::uint16_t blockAlign, std::uint16_t bits);

}  // namespace feltrix::testing
