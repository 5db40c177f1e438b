#include "tools/demo_sounds/synthesis.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace demosounds {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The nearest frequency that completes a whole number of cycles in
// `loopSeconds`, so the loop's end joins its start without a jump.
double loopFrequency(double hz, double loopSeconds) {
    return std::max(1.0, std::round(hz * loopSeconds)) / loopSeconds;
}

// A small deterministic noise generator (xorshift), uniform in -1..1.
class Noise {
public:
    explicit Noise(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    double next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<double>(state_ >> 11) / static_cast<double>(1ull << 52) - 1.0;
    }

private:
    uint64_t state_;
};

// Resonant band-pass (a state-variable filter), centre and Q set per sample.
class BandPass {
public:
    explicit BandPass(int rate) : rate_(rate) {}
    double process(double input, double centreHz, double q) {
        const double f = 2.0 * std::sin(kPi * centreHz / rate_);
        low_ += f * band_;
        const double high = input - low_ - band_ / q;
        band_ += f * high;
        return band_;
    }

private:
    int rate_;
    double low_ = 0.0;
    double band_ = 0.0;
};

Sound silentStereo(double seconds, int rate) {
    Sound sound;
    sound.sampleRate = rate;
    sound.channels = 2;
    sound.samples.assign(static_cast<std::size_t>(seconds * rate) * 2, 0.0f);
    return sound;
}

// Scales the whole sound so that its loudest sample is `peak`.
void normalise(Sound& sound, float peak) {
    float loudest = 0.0f;
    for (float s : sound.samples) loudest = std::max(loudest, std::fabs(s));
    if (loudest <= 0.0f) return;
    const float gain = peak / loudest;
    for (float& s : sound.samples) s *= gain;
}

// Replaces the first `fadeFrames` of `longer` (which holds loop + fade
// frames) by a cross-fade from its continuation past the loop's end into its
// start, then cuts it to the loop length. The last frame of the loop then
// flows into the first one as it did in the generated signal.
Sound crossfadeLoop(const Sound& longer, std::size_t loopFrames, std::size_t fadeFrames) {
    Sound loop = longer;
    const auto channels = static_cast<std::size_t>(longer.channels);
    for (std::size_t i = 0; i < fadeFrames; ++i) {
        const double w = 0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / static_cast<double>(fadeFrames));
        for (std::size_t c = 0; c < channels; ++c) {
            const float start = longer.samples[i * channels + c];
            const float tail = longer.samples[(loopFrames + i) * channels + c];
            loop.samples[i * channels + c] = static_cast<float>((1.0 - w) * tail + w * start);
        }
    }
    loop.samples.resize(loopFrames * channels);
    return loop;
}

}  // namespace

Sound calmPad(int rate) {
    const double loop = 8.0;
    Sound sound = silentStereo(loop, rate);
    // A minor with an added ninth, spread over three octaves.
    const double notes[] = {110.00, 164.81, 220.00, 261.63, 329.63, 493.88};
    const double levels[] = {1.0, 0.8, 0.7, 0.6, 0.5, 0.35};
    const std::size_t frames = sound.frames();
    for (std::size_t n = 0; n < std::size(notes); ++n) {
        // Each side gets its own slight detuning (one cycle per loop apart),
        // which makes the chord wide and slowly beating.
        const double leftHz = loopFrequency(notes[n], loop);
        const double rightHz = leftHz + 1.0 / loop;
        const double swellPhase = 2.0 * kPi * static_cast<double>(n) / std::size(notes);
        const double swellCycles = 1.0 + static_cast<double>(n % 2);
        for (std::size_t i = 0; i < frames; ++i) {
            const double t = static_cast<double>(i) / rate;
            const double swell = 0.65 + 0.35 * std::sin(2.0 * kPi * swellCycles * t / loop + swellPhase);
            const double a = levels[n] * swell;
            const double left = std::sin(2.0 * kPi * leftHz * t) + 0.2 * std::sin(4.0 * kPi * leftHz * t);
            const double right = std::sin(2.0 * kPi * rightHz * t) + 0.2 * std::sin(4.0 * kPi * rightHz * t);
            sound.samples[2 * i] += static_cast<float>(a * left);
            sound.samples[2 * i + 1] += static_cast<float>(a * right);
        }
    }
    normalise(sound, 0.5f);
    return sound;
}

Sound thetaDrone(int rate) {
    const double loop = 8.0;
    Sound sound = silentStereo(loop, rate);
    const double base = loopFrequency(73.42, loop);  // D2
    const double harmonics[] = {1.0, 0.5, 0.3, 0.15, 0.08};
    const std::size_t frames = sound.frames();
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        // Four slow pulses per loop, like breathing.
        const double pulse = 0.55 + 0.45 * std::sin(2.0 * kPi * 4.0 * t / loop);
        double left = 0.0, right = 0.0;
        for (std::size_t h = 0; h < std::size(harmonics); ++h) {
            const double hz = base * static_cast<double>(h + 1);
            left += harmonics[h] * std::sin(2.0 * kPi * hz * t);
            right += harmonics[h] * std::sin(2.0 * kPi * (hz + 1.0 / loop) * t + 0.5 * static_cast<double>(h));
        }
        sound.samples[2 * i] = static_cast<float>(pulse * left);
        sound.samples[2 * i + 1] = static_cast<float>(pulse * right);
    }
    normalise(sound, 0.5f);
    return sound;
}

Sound oceanWaves(int rate) {
    const double loop = 12.0, fade = 1.0;
    Sound longer = silentStereo(loop + fade, rate);
    const std::size_t frames = longer.frames();
    Noise noise[2] = {Noise(11), Noise(23)};
    double smooth[2][2] = {};
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        // Three waves per loop, a fourth smaller one between them; the
        // envelope repeats exactly with the loop.
        const double roll = 0.5 - 0.5 * std::cos(2.0 * kPi * 3.0 * t / loop);
        const double ripple = 0.5 - 0.5 * std::cos(2.0 * kPi * 7.0 * t / loop + 1.0);
        const double envelope = 0.15 + 0.65 * std::pow(roll, 2.0) + 0.2 * ripple;
        // Brighter as a wave breaks: the low-pass opens with the envelope.
        const double cutoff = 300.0 + 2500.0 * envelope;
        const double k = 1.0 - std::exp(-2.0 * kPi * cutoff / rate);
        for (int c = 0; c < 2; ++c) {
            smooth[c][0] += k * (noise[c].next() - smooth[c][0]);
            smooth[c][1] += k * (smooth[c][0] - smooth[c][1]);
            longer.samples[2 * i + static_cast<std::size_t>(c)] = static_cast<float>(envelope * smooth[c][1]);
        }
    }
    Sound sound = crossfadeLoop(longer, static_cast<std::size_t>(loop * rate),
                                static_cast<std::size_t>(fade * rate));
    normalise(sound, 0.5f);
    return sound;
}

Sound windLayer(int rate) {
    const double loop = 8.0, fade = 1.0;
    Sound longer = silentStereo(loop + fade, rate);
    const std::size_t frames = longer.frames();
    Noise noise[2] = {Noise(5), Noise(7)};
    BandPass filters[2] = {BandPass(rate), BandPass(rate)};
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double sweep = std::sin(2.0 * kPi * t / loop);
        const double gust = 0.5 + 0.5 * std::sin(2.0 * kPi * 2.0 * t / loop + 0.7);
        for (int c = 0; c < 2; ++c) {
            // The two sides sweep in opposite directions around 700 Hz.
            const double centre = 700.0 + (c == 0 ? 250.0 : -250.0) * sweep;
            const double out = filters[c].process(noise[c].next(), centre, 12.0);
            longer.samples[2 * i + static_cast<std::size_t>(c)] = static_cast<float>((0.3 + 0.7 * gust) * out);
        }
    }
    Sound sound = crossfadeLoop(longer, static_cast<std::size_t>(loop * rate),
                                static_cast<std::size_t>(fade * rate));
    normalise(sound, 0.45f);
    return sound;
}

Sound chime(int rate) {
    const double ring = 2.5, tail = 0.5;
    Sound sound = silentStereo(ring + tail, rate);
    // A bell: inharmonic partials over G5, the higher ones dying away sooner.
    const double base = 784.0;
    const double ratios[] = {1.0, 2.0, 2.76, 5.40, 8.93};
    const double levels[] = {1.0, 0.6, 0.5, 0.25, 0.12};
    const double decays[] = {0.9, 0.6, 0.45, 0.25, 0.15};  // seconds to fall to 1/e
    const std::size_t ringFrames = static_cast<std::size_t>(ring * rate);
    for (std::size_t i = 0; i < ringFrames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double attack = std::min(1.0, t / 0.004);
        // Fade the last 0.2 s to exactly zero, so the tail is pure silence.
        const double end = std::min(1.0, (ring - t) / 0.2);
        double left = 0.0, right = 0.0;
        for (std::size_t p = 0; p < std::size(ratios); ++p) {
            const double v = levels[p] * std::exp(-t / decays[p]);
            const double phase = 2.0 * kPi * base * ratios[p] * t;
            left += v * std::sin(phase);
            right += v * std::sin(phase * 1.0015);
        }
        sound.samples[2 * i] = static_cast<float>(attack * end * left);
        sound.samples[2 * i + 1] = static_cast<float>(attack * end * right);
    }
    normalise(sound, 0.6f);
    return sound;
}

const std::vector<NamedSound>& demoSounds() {
    static const std::vector<NamedSound> sounds = {
        {"calm_pad", calmPad}, {"theta_drone", thetaDrone}, {"ocean_waves", oceanWaves},
        {"wind_layer", windLayer}, {"chime", chime},
    };
    return sounds;
}

}  // namespace demosounds
