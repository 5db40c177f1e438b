// Losing the sound device mid-session and getting it back: the program plays through a sound server of
// its own (scripts/sound_server.sh), which the test kills, stops and starts again.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <thread>

#include "tests/audio/audio_test_files.h"
#include "tests/support/test_support.h"

namespace feltrix {
namespace {

using namespace feltrix::testing;
using namespace std::chrono_literals;

// The private server in `folder`; the test's environment (so the program's and the recorder's) points at it.
class PrivateServer {
public:
    explicit PrivateServer(const std::string& folder) : folder_(folder) {
        setenv("XDG_RUNTIME_DIR", (folder + "/xdg").c_str(), 1);
        setenv("PULSE_SERVER", ("unix:" + folder + "/xdg/pulse/native").c_str(), 1);
        setenv("PULSE_COOKIE", (folder + "/config/pulse/cookie").c_str(), 1);
    }
    ~PrivateServer() { stop(SIGKILL); }
    bool start() { return script("start") && answers(); }
    // Ends the server with `signal`; true once it no longer answers.
    bool stop(int signal) {
        const std::string pid = readFile(folder_ + "/pulse.pid");
        if (pid.empty()) return true;
        kill(std::atoi(pid.c_str()), signal);
        script("stop");
        return waitFor([&] { return !answers(); });
    }

private:
    bool script(const char* command) {
        RunOptions options;
        options.arguments = {std::string(FELTRIX_SOURCE_DIR) + "/scripts/sound_server.sh", command, folder_};
        return runProgram("/bin/bash", options).exitCode == 0;
    }
    static bool answers() {
        RunOptions options;
        options.arguments = {"info"};
        options.timeout = 5s;
        return runProgram("/usr/bin/pactl", options).exitCode == 0;
    }
    std::string folder_;
};

// The loudest sample recorded so far (a WAV file that parecord still writes).
float recordedPeak(const std::string& path) {
    const std::string bytes = readFile(path);
    const std::size_t data = bytes.find("data");
    float peak = 0.0f;
    for (std::size_t at = data == std::string::npos ? bytes.size() : data + 8; at + 4 <= bytes.size(); at += 4) {
        float sample;
        std::memcpy(&sample, bytes.data() + at, sizeof sample);
        peak = std::max(peak, std::fabs(sample));
    }
    return peak;
}

// Records the sink until the tone is heard (bounded); false if it never is.
bool toneHeard(const std::string& path) {
    RunOptions options;
    options.arguments = {"-d", "ci_sink.monitor", "--file-format=wav", "--format=float32le", "--rate=48000",
                         "--channels=2", "--latency-msec=10", path};
    BackgroundProgram parecord("/usr/bin/parecord", options);
    return waitFor([&] { return recordedPeak(path) > 0.2f; }, 15s);
}

// A looping tone at full volume. The script tells the test it runs by saving started.fxc, then alive.fxc
// (the dialog answers); the test tells the script by creating "down" and "finish".
const char* const kSession = R"lua(
local function start()
  loadWav("tone.wav")
  slideAudioChannelVolume(0, 1, 0.01)
end
start()
setUpdateInterval(0.05)
saveConfig("-- Feltrix configuration file\n")
local updates, downAt, alive = 0, nil, false
function FeltrixUpdateCallback()
  updates = updates + 1
  if downAt == nil and fileExists("down") then
    downAt = updates
    if RESET_WHILE_DOWN then resetAudio() start() end
  end
  -- Twenty more cycles while the device is gone: they were not held up.
  if downAt and not alive and updates >= downAt + 20 then
    saveConfig("-- Feltrix configuration file\n")
    alive = true
  end
  if fileExists("finish") then exit() end
end
)lua";

// Runs the session on a thread of its own; finishes it whatever the test's outcome.
class Session {
public:
    Session(const TempDir& dir, bool resetWhileDown) : dir_(dir) {
        dir.write("tone.wav", wavFile16(sine(440, 48000, 48000, 0.5f), 1, 48000));
        RunOptions options;
        options.environment["FELTRIX_DIALOG_ANSWERS"] =
            dir.write("answers.txt", dir.file("started.fxc") + "\n" + dir.file("alive.fxc") + "\n");
        options.timeout = 90s;
        const std::string script = (resetWhileDown ? "RESET_WHILE_DOWN = true\n" : "") + std::string(kSession);
        thread_ = std::thread([this, script, options] { result_ = runFeltrix(dir_, script, options); });
    }
    ~Session() { finish(); }
    bool saved(const char* name) const {
        return waitFor([&] { return access(dir_.file(name).c_str(), F_OK) == 0; }, 20s);
    }
    void tell(const char* name) const { dir_.write(name, ""); }
    const RunResult& finish() {
        if (thread_.joinable()) tell("finish"), thread_.join();
        return result_;
    }

private:
    const TempDir& dir_;
    std::thread thread_;
    RunResult result_;
};

TEST(EngineDeviceLoss, SoundComesBackWhenTheServerDoesAndTheSessionNeverStops) {
    if (access("/usr/bin/pulseaudio", X_OK) != 0) GTEST_SKIP() << "no pulseaudio";
    struct Case {
        const char* name;
        bool serverAtStart;
        int stopSignal;
        bool resetWhileDown;
        const char* consoleLine;  // start of a line the program must print
    };
    const Case cases[] = {
        {"server killed mid-session and restarted", true, SIGKILL, false, "Sound output lost: "},
        {"no server when the program starts", false, 0, false, "Sound output resumed on "},
        {"resetAudio while the server is stopped", true, SIGTERM, true, "Sound output lost: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        PrivateServer server(dir.path() + "/server");
        if (c.serverAtStart) { ASSERT_TRUE(server.start()); }
        Session session(dir, c.resetWhileDown);
        ASSERT_TRUE(session.saved("started.fxc")) << "the init script did not run";
        if (c.serverAtStart) {
            ASSERT_TRUE(toneHeard(dir.file("before.wav"))) << "not heard before the server went";
            ASSERT_TRUE(server.stop(c.stopSignal));
        }
        session.tell("down");
        EXPECT_TRUE(session.saved("alive.fxc")) << "the update cycle stood still without a device";
        ASSERT_TRUE(server.start());
        EXPECT_TRUE(toneHeard(dir.file("after.wav"))) << "no sound once the server was back";
        const RunResult& result = session.finish();
        EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
        EXPECT_NE(("\n" + result.out).find(std::string("\n") + c.consoleLine), std::string::npos) << result.out;
        if (!c.serverAtStart) {  // said once at start-up, which goes on without a device
            EXPECT_NE(result.err.find("Error: Failed to initialize audio system."), std::string::npos) << result.err;
        }
    }
}

}  // namespace
}  // namespace feltrix
