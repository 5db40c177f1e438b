#pragma once
// Treats denormal floats as zero while an audio block is computed: decaying
// filter tails would otherwise slow the converters down many times over.
#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#define FELTRIX_HAS_MXCSR 1
#endif

namespace feltrix {
namespace audio_thread {

class DenormalsFlushedToZero {
public:
#ifdef FELTRIX_HAS_MXCSR
    DenormalsFlushedToZero() : saved_(_mm_getcsr()) {
        // FTZ (bit 15) and DAZ (bit 6).
        _mm_setcsr(saved_ | 0x8040u);
    }
    ~DenormalsFlushedToZero() { _mm_setcsr(saved_); }

private:
    unsigned int saved_;
#else
    DenormalsFlushedToZero() = default;
#endif
    DenormalsFlushedToZero(const DenormalsFlushedToZero&) = delete;
    DenormalsFlushedToZero& operator=(const DenormalsFlushedToZero&) = delete;
};

}  // namespace audio_thread
}  // namespace feltrix
