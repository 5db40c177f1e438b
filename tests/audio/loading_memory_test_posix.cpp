// A load whose samples cannot be allocated (a long file on the 32-bit build) fails with its decoder's
// text and adds no channel; tried in a child process whose address space may grow only a little.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <fstream>

#include "audio/audio_engine.h"
#include "audio/load_error.h"
#include "tests/audio/audio_test_files.h"
#include "tests/support/test_support.h"

namespace feltrix {
namespace {

using namespace feltrix::testing;

// Lets the address space grow by `headroom` bytes beyond what it is now.
void limitAddressSpace(rlim_t headroom) {
    std::ifstream statm("/proc/self/statm");
    rlim_t pages = 0;
    statm >> pages;
    const rlimit limit{pages * 4096 + headroom, pages * 4096 + headroom};
    setrlimit(RLIMIT_AS, &limit);
}

TEST(LoadingOutOfMemory, FailsWithTheDecodersTextAndAddsNoChannel) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers need far more address space than the limit leaves";
#endif
    TempDir dir;
    struct Case { int (*load)(const char*); std::string path; const char* error; };
    // 8 million 8-bit frames (32 MB as floats); a minute of stereo Ogg (10 MB a voice).
    const std::string frames(8000000, '\x80');
    const Case cases[] = {
        {loadWavChannels,
         dir.write("long.wav", riffWave(chunk("fmt ", fmtBody(1, 1, 8000, 1, 8)) + chunk("data", frames))),
         "Not enough memory for WAV file"},
        {loadOggChannels, makeOgg(dir.path(), "long", 2, 44100, 60.0), "Could not load ogg file: out of memory."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        EXPECT_EXIT(
            {
                limitAddressSpace(8 << 20);
                const int result = c.load(c.path.c_str());
                std::fprintf(stderr, "%d %u %s\n", result, channelCount(), loadErrorText());
                std::_Exit(0);
            },
            ::testing::ExitedWithCode(0), std::string("-1 0 ") + c.error);
    }
}

}  // namespace
}  // namespace feltrix
