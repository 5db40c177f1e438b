// The WAV reader against hand-made files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/byte_source.h"
#include "audio/wav_reader.h"
#include "tests/audio/audio_test_files.h"
#include "tests/support/test_support.h"

namespace feltrix {
namespace {

using namespace feltrix::testing;

TEST(WavReader, HandMadeFilesDecodeOrGiveTheirFailureText) {
    const std::string pcm16 = chunk("fmt ", fmtBody(1, 2, 44100, 4, 16));
    const std::string fourFrames(16, '\x01');
    auto withFmt = [&](std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t align,
                       std::uint16_t bits) {
        return riffWave(chunk("fmt ", fmtBody(tag, channels, rate, align, bits)) + chunk("data", fourFrames));
    };
    auto withData = [](std::uint16_t channels, std::uint16_t bits, const std::string& data, std::uint16_t tag = 1) {
        return riffWave(chunk("fmt ", fmtBody(tag, channels, 8000, channels * bits / 8, bits)) + chunk("data", data));
    };
    auto with = [&](const std::string& chunks) { return riffWave(pcm16 + chunks); };
    auto extensible = [](std::uint16_t subTag, std::uint16_t bits, const std::string& data) {
        const std::string guidTail("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
        const std::string fmt = fmtBody(0xFFFE, 1, 8000, bits / 8, bits) + le16(22) + le16(bits) + le32(4) + le16(subTag);
        return riffWave(chunk("fmt ", fmt + guidTail) + chunk("data", data));
    };
    // error null: loads, with `frames` frames of `channels` voices; values: interleaved, when checked
    struct Case { const char* name; std::string bytes; const char* error;
                  std::uint64_t frames{}; int channels{}; std::vector<float> values{}; };
    const Case cases[] = {
        {"16 bit", withData(1, 16, le16(0x8000) + le16(0x7FFF)), nullptr, 2, 1, {-1.0f, 32767.0f / 32768.0f}},
        {"24 bit", withData(1, 24, std::string("\x00\x00\x80\xFF\xFF\x7F\x01\x00\x00", 9)), nullptr, 3, 1,
         {-1.0f, 8388607.0f / 8388608.0f, 1.0f / 8388608.0f}},
        {"32 bit PCM tag, all floats within 2: floats, clipped", withData(1, 32, le32(0xBF800000u) + le32(0x3E800000u) +
         le32(0x40000000u)), nullptr, 3, 1, {-1.0f, 0.25f, 1.0f}},
        {"32 bit PCM tag, one float beyond 2 (3.0): all integers", withData(1, 32, le32(1) + le32(0x40400000u) +
         le32(0xC0000000u)), nullptr, 3, 1, {0x1p-31f, 0x40400000 * 0x1p-31f, -0.5f}},
        {"float tag: clipped, NaN silent", withData(1, 32, le32(0x40400000u) + le32(0x7FC00000u) + le32(0xFF800000u), 3),
         nullptr, 3, 1, {1.0f, 0.0f, -1.0f}},
        {"3 channels, 8 bit", withData(3, 8, std::string("\x40\x80\xC0\0\xFF\x80", 6)), nullptr, 2, 3,
         {-0.5f, 0.0f, 0.5f, -1.0f, 127.0f / 128.0f, 0.0f}},
        {"extensible 24 bit", extensible(1, 24, std::string("\x00\x00\xC0", 3)), nullptr, 1, 1, {-0.5f}},
        {"extensible 32 bit: integers", extensible(1, 32, le32(0x80000000u) + le32(0x00000001u)), nullptr, 2, 1,
         {-1.0f, 0x1p-31f}},
        {"extensible float", extensible(3, 32, le32(0x3F000000u)), nullptr, 1, 1, {0.5f}},
        {"empty file", "", "File is not a RIFF WAV file"},
        {"not RIFF", "RIFX" + le32(4) + "WAVE", "File is not a RIFF WAV file"},
        {"cut after RIFF", "RIFF", "File is not in WAVE format"},
        {"not WAVE", "RIFF" + le32(4) + "AVI ", "File is not in WAVE format"},
        {"no fmt chunk", riffWave(chunk("data", fourFrames)), "File is not in WAVE format"},
        {"fmt shorter than 16", riffWave(chunk("fmt ", std::string(14, '\0'))), "File is not in WAVE format"},
        {"fmt cut short", riffWave("fmt " + le32(16) + std::string(10, '\0')), "File is not in WAVE format"},
        {"ADPCM", withFmt(2, 2, 44100, 4, 4), "WAV file is not raw PCM"},
        {"16-bit float", withFmt(3, 2, 44100, 4, 16), "WAV file has unsupported bits per sample"},
        {"no data chunk", with(chunk("LIST", "INFOabcd")), "WAV file has no data chunk"},
        {"block align 0", withFmt(1, 2, 44100, 0, 16), "WAV file has an invalid block align"},
        {"block align too small", withFmt(1, 2, 44100, 2, 16), "WAV file has an invalid block align"},
        {"channel count above 32767", withFmt(1, 40000, 44100, 4, 8), "WAV file has too many channels"},
        {"33 channels", withFmt(1, 33, 44100, 33, 8), "WAV file has too many channels"},
        {"32 channels", withFmt(1, 32, 44100, 32, 8), nullptr, 0, 32},
        {"sample rate 0", withFmt(1, 2, 0, 4, 16), "WAV file has an invalid sample rate"},
        {"0 channels", withFmt(1, 0, 44100, 0, 16), nullptr, 0, 0},
        {"empty data", with(chunk("data", "")), nullptr, 0, 2},
        {"data shorter than declared", with(chunk("data", fourFrames + "\x01\x02", 4000)), nullptr, 4, 2},
        {"streaming size placeholder", with(chunk("data", fourFrames, 0xFFFFFFFFu)), nullptr, 4, 2},
        {"LIST and fact before data",
         with(chunk("LIST", "INFOsox") + chunk("fact", le32(4)) + chunk("data", fourFrames)), nullptr, 4, 2},
        {"odd-sized chunk before data", with(chunk("junk", "abc") + chunk("data", fourFrames)), nullptr, 4, 2},
        {"fmt of 18 bytes", riffWave(chunk("fmt ", fmtBody(1, 2, 44100, 4, 16) + le16(0)) + chunk("data", fourFrames)),
         nullptr, 4, 2},
        {"padded frames", withFmt(1, 2, 44100, 8, 16), nullptr, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NewVoices voices;
        MemoryByteSource source(c.bytes.data(), c.bytes.size());
        const char* error = readWavFile(source, voices);
        EXPECT_STREQ(error, c.error);
        if (error || c.error) continue;
        ASSERT_EQ(static_cast<int>(voices.size()), c.channels);
        for (const AudioChannel* voice : voices.voices()) EXPECT_EQ(voice->sampleCount, c.frames);
        for (std::size_t i = 0; i < c.values.size(); ++i) {
            EXPECT_EQ(voices[i % c.channels]->samples[i / c.channels], c.values[i]) << "value " << i;
        }
    }
}

// Files sox writes (24 and 32-bit integers under the PCM tag and as extensible PCM, 32-bit floats under tag 3
// and, as this program's own 32-bit files are, under the PCM tag) hold what sox decodes from them: bit for bit,
// but for 32-bit integers, which sox rounds to 25 bits on their way to floats (we round to 24 significant bits).
TEST(WavReader, DecodesWhatSoxDecodes) {
    TempDir dir;
    const std::string make = "sox -R -n -r 8000 -c 2 ", synth = " synth 0.25 sine 440 sine 1250 vol 0.5";
    const std::string floats = dir.file("floats.wav");
    ASSERT_TRUE(runCommand(make + "-b 32 -e floating-point '" + floats + "'" + synth));
    const std::string floatBytes = readFile(floats);
    std::string relabelled = floatBytes;
    relabelled[20] = 1;  // format tag 3 becomes 1
    // bytes: made by sox with `name` as its options when empty; soxReads: the reference's source if not them
    struct Case { const char* name; float tolerance; std::string bytes{}, soxReads{}; };
    const Case cases[] = {{"-t wavpcm -b 24", 0.0f}, {"-b 24", 0.0f}, {"-t wavpcm -b 32 -e signed-integer", 0x1p-25f},
                          {"-b 32 -e signed-integer", 0x1p-25f}, {"floats", 0.0f, floatBytes},
                          {"floats under the PCM tag", 0.0f, relabelled, floatBytes}};
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file("file.wav"), raw = dir.file("reference.f32");
        if (c.bytes.empty() && runCommand(make + c.name + " '" + path + "'" + synth)) c.bytes = readFile(path);
        const std::string soxInput = dir.write("sox.wav", c.soxReads.empty() ? c.bytes : c.soxReads);
        ASSERT_TRUE(runCommand("sox -D '" + soxInput + "' -t f32 '" + raw + "'"));
        const std::string reference = readFile(raw);
        ASSERT_EQ(reference.size(), 2000u * 2 * sizeof(float));
        MemoryByteSource source(c.bytes.data(), c.bytes.size());
        NewVoices voices;
        ASSERT_EQ(readWavFile(source, voices), nullptr);
        ASSERT_EQ(voices.size(), 2u);
        ASSERT_EQ(voices[0]->sampleCount, 2000u);
        float worst = 0.0f, expected;
        for (std::size_t i = 0; i < 2 * 2000; ++i) {
            std::memcpy(&expected, reference.data() + i * sizeof expected, sizeof expected);
            worst = std::max(worst, std::fabs(voices[i % 2]->samples[i / 2] - expected));
        }
        EXPECT_LE(worst, c.tolerance);
    }
}

}  // namespace
}  // namespace feltrix
