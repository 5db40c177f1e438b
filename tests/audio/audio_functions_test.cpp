// The audio script functions, run by the real program from an init script.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/audio/audio_test_files.h"
#include "tests/support/test_support.h"

namespace feltrix {
namespace {

using namespace feltrix::testing;

bool hasLine(const std::string& out, const std::string& line) {
    const std::vector<std::string> all = lines(out);
    return std::find(all.begin(), all.end(), line) != all.end();
}

TEST(AudioFunctions, RaiseTheirOwnArgumentAndLoadFailureTexts) {
    const std::pair<const char*, const char*> cases[] = {
        {"fileExists()", "incorrect argument #1 to fileExists: string expected, got nil"},
        {"loadWav({})", "incorrect argument #1 to loadWav: string expected, got table"},
        {"loadWav('missing.wav')", "Error loading WAV file: Could not open file"},
        {"loadOgg('missing.ogg')", "Error loading Ogg file missing.ogg: Error opening file."},
        {"slideAudioChannelVolume(0, 1)",
         "incorrect arguments to slideAudioChannelVolume (expected number, number, number"},
        {"slideAudioChannelPanning(0, 'x', 1)",
         "incorrect arguments to slideAudioChannelPanning (expected number, number, number"},
        {"setAudioChannelLoopPoint(0, {})", "incorrect arguments to setAudioChannelLoopFrame (expected number, number"},
        {"setAudioChannelPosition('a')", "incorrect argument #1 to setCurrentAudioChannelPosition: number expected"},
        {"setAudioChannelPosition(0, 0)", "audio must be paused to call setCurrentAudioChannelPosition"},
        {"getCurrentAudioChannelVolume()", "incorrect argument #1 to getCurrentAudioChannelVolume: number expected"},
    };
    std::string script;  // the calls contain quotes: printed between long brackets
    for (const auto& [call, message] : cases)
        script += std::string("print([[") + call + "]] .. ' -> ' .. tostring(select(2, pcall(function() return " +
                  call + " end))))\n";
    TempDir dir;
    const RunResult result = runFeltrix(dir, script + "exit()\n");
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    for (const auto& [call, message] : cases)
        EXPECT_NE(result.out.find(std::string(call) + " -> " + message), std::string::npos)
            << call << "\n" << result.out;
}

TEST(AudioFunctions, LoadSetAndReadBackChannels) {
    TempDir dir;
    dir.write("mono.wav", wavFile16(sine(440, 44100, 2000), 1, 44100));
    dir.write("stereo.wav", wavFile16(std::vector<float>(2 * 1000, 0.25f), 2, 22050));
    dir.write("42", "");
    const bool fifo = makeFifo(dir.file("pipe"));
    const RunResult result = runFeltrix(dir, R"lua(
print("mono", loadWav("mono.wav"))
print("again", loadWav("mono.wav"))
print("stereo", loadWav("stereo.wav"))
print("count", getChannelCount())
print("length", getAudioChannelSampleCount(2), getAudioChannelSampleCount(0))
print("panning", getCurrentAudioChannelPanning(0), getCurrentAudioChannelPanning(2), getCurrentAudioChannelPanning(3))
print("volume", getCurrentAudioChannelVolume(1))
print("missing", getCurrentAudioChannelVolume(99))
print("negative", getCurrentAudioChannelPosition(-1))
slideAudioChannelVolume(0, "1", 2)
slideAudioChannelVolume(9, 1, 1)
setAudioChannelSpeed(0, 2, "extra")
setAudioChannelLoopPoint(2, 10)
pauseAudio()
setAudioChannelPosition(2, 500)
print("position", getCurrentAudioChannelPosition(2))
setAudioChannelPosition(3)
print("no frame", getCurrentAudioChannelPosition(3))
resumeAudio()
print("exists", fileExists(42), fileExists("nothing"), fileExists("pipe"))
resetAudio()
print("after reset", getChannelCount(), loadWav("stereo.wav"))
exit()
)lua");
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    const std::string expected[] = {
        "mono\t0", "again\t1", "stereo\t2\t3", "count\t4", "length\t1000\t2000", "panning\t0.5\t0\t1", "volume\t0",
        "warning: no such channel: 99", "missing\t0", "warning: no such channel: 4294967295", "negative\t0",
        "error: attempt to slide channel 9, only 4 channels exist", "position\t500", "no frame\t0",
        std::string("exists\ttrue\tfalse\t") + (fifo ? "true" : "false"), "after reset\t0\t0\t1"};
    for (const std::string& line : expected) EXPECT_TRUE(hasLine(result.out, line)) << line << "\n" << result.out;
}

}  // namespace
}  // namespace feltrix
