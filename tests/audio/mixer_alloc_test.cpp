// The mixer must neither allocate nor free: this program replaces the C allocator and counts its calls.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>

#include "audio/channel_controls.h"
#include "audio/channel_table.h"
#include "audio/mixer.h"
#include "tests/audio/audio_test_files.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define FELTRIX_COUNTING_ALLOCATOR 0  // the sanitizers own the allocator
#else
#define FELTRIX_COUNTING_ALLOCATOR 1
#endif

namespace {
thread_local bool countingThisThread = false;
std::atomic<int> allocatorCalls{0};
inline void noteCall() { allocatorCalls.fetch_add(countingThisThread ? 1 : 0, std::memory_order_relaxed); }
}  // namespace

#if FELTRIX_COUNTING_ALLOCATOR
// glibc's own entry points, which the replacements below forward to.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* pointer);

void* malloc(std::size_t size) { return noteCall(), __libc_malloc(size); }
void* calloc(std::size_t count, std::size_t size) { return noteCall(), __libc_calloc(count, size); }
void* realloc(void* pointer, std::size_t size) { return noteCall(), __libc_realloc(pointer, size); }
void* aligned_alloc(std::size_t alignment, std::size_t size) { return noteCall(), __libc_memalign(alignment, size); }
void* memalign(std::size_t alignment, std::size_t size) { return noteCall(), __libc_memalign(alignment, size); }
void free(void* pointer) { pointer ? noteCall() : void(), __libc_free(pointer); }
int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
    return noteCall(), *out = __libc_memalign(alignment, size), *out != nullptr ? 0 : 12;  // ENOMEM
}
}
#endif

namespace feltrix {
namespace {

constexpr int kRate = 48000;

TEST(MixerAllocation, MixingAllocatesAndFreesNothing) {
    if (!FELTRIX_COUNTING_ALLOCATOR) GTEST_SKIP() << "the sanitizer's allocator cannot be replaced";
    countingThisThread = true;  // the replacement must see ordinary allocations
    delete new std::vector<int>(100);
    countingThisThread = false;
    ASSERT_GE(allocatorCalls.exchange(0), 2) << "the counting allocator is not in use";

    ChannelTable table(kRate);
    for (std::uint32_t rate : {48000u, 44100u, 22050u, 0u /* converter refuses */, 96000u}) {
        ASSERT_TRUE(table.append(testing::makeChannel(testing::sine(440, rate ? rate : 8000, 30000), rate)));
    }
    ASSERT_TRUE(table.append(testing::makeChannel({}, kRate)));  // 0 frames
    AudioChannel* partial = testing::makeChannel(std::vector<float>(50000, 0.5f), 44100);
    partial->framesAvailable.store(1000);
    ASSERT_TRUE(table.append(partial));
    for (ChannelNumber i = 0; i < table.count(); ++i) {
        slideChannelVolume(table, i, 1.0f, 0.05f);
        slideChannelPanning(table, i, i % 2 ? 1.0f : 0.0f, 0.2f);
        setChannelSpeed(table, i, 0.5f + 0.4f * static_cast<float>(i));
        setChannelLoopPoint(table, i, 1000);
    }
    setChannelPosition(table, 1, 20000);

    std::vector<float> out(2 * 4096);
    for (int round = 0; round < 40; ++round) {
        if (round == 10 || round == 12) table.paused.store(round == 10);
        if (round == 20) slideChannelVolume(table, 0, 0.0f, 0.01f);
        for (std::uint32_t frames : {64u, 441u, 512u, 1024u, 4096u, 1u, 4000u, 256u}) {
            countingThisThread = true, audio_thread::mixChannels(table, out.data(), frames);
            countingThisThread = false;
        }
    }
    EXPECT_EQ(allocatorCalls.load(), 0) << "the mixer called the allocator";
}

}  // namespace
}  // namespace feltrix
