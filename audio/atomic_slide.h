#pragma once
// A linear slide (target and per-frame step) published as one 64-bit word, so
// that the mixer never pairs the target of one slide with the step of another.
#include <atomic>
#include <cstdint>
#include <cstring>

namespace feltrix {

struct Slide {
    float target;
    float step;  // change per output frame; 0 = no slide running
};

class AtomicSlide {
public:
    explicit AtomicSlide(Slide initial) : bits_(pack(initial)) {}

    Slide load() const { return unpack(bits_.load(std::memory_order_acquire)); }
    void store(Slide slide) { bits_.store(pack(slide), std::memory_order_release); }

    // Ends `running` (as load() gave it) by publishing it with step 0, unless
    // another slide has been published since: that one stays to be run. The
    // same bits published again while it ran are the same slide (same target,
    // same step from wherever the value is), so ending them too loses nothing.
    void finish(Slide running) {
        std::uint64_t expected = pack(running);
        bits_.compare_exchange_strong(expected, pack(Slide{running.target, 0.0f}), std::memory_order_acq_rel,
                                      std::memory_order_relaxed);
    }

private:
    static std::uint64_t pack(Slide slide) {
        std::uint64_t bits;
        static_assert(sizeof(bits) == sizeof(slide), "a slide is two floats");
        std::memcpy(&bits, &slide, sizeof(bits));
        return bits;
    }
    static Slide unpack(std::uint64_t bits) {
        Slide slide;
        std::memcpy(&slide, &bits, sizeof(bits));
        return slide;
    }

    std::atomic<std::uint64_t> bits_;
    static_assert(std::atomic<std::uint64_t>::is_always_lock_free, "the mixer may not wait for a lock");
};

}  // namespace feltrix
