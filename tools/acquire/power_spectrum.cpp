#include "tools/acquire/power_spectrum.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>

namespace eegsim {
namespace {
constexpr double kPi = 3.14159265358979323846;
}

Spectrum::Spectrum(std::size_t size, double sampleRate)
    : size_(size), binHz_(sampleRate / static_cast<double>(size)), window_(size) {
    double sumSquares = 0.0;
    for (std::size_t n = 0; n < size_; ++n) {
        window_[n] = 0.5 - 0.5 * std::cos(2.0 * kPi * static_cast<double>(n) / static_cast<double>(size_));
        sumSquares += window_[n] * window_[n];
    }
    // Parseval for the windowed signal, normalised by the window's energy.
    scale_ = 1.0 / (static_cast<double>(size_) * sumSquares);
    input_ = static_cast<double*>(fftw_malloc(sizeof(double) * size_));
    output_ = fftw_malloc(sizeof(fftw_complex) * bins());
    plan_ = fftw_plan_dft_r2c_1d(static_cast<int>(size_), input_, static_cast<fftw_complex*>(output_), FFTW_ESTIMATE);
    for (int side = 0; side < 2; ++side) {
        transformed_[side].assign(bins(), {});
        power_[side].assign(bins(), 0.0);
    }
    cross_.assign(bins(), {});
}

Spectrum::~Spectrum() {
    fftw_destroy_plan(static_cast<fftw_plan>(plan_));
    fftw_free(output_);
    fftw_free(input_);
}

std::size_t Spectrum::binAt(double hz) const {
    double k = std::ceil(hz / binHz_ - 1e-9);
    if (k < 0.0) return 0;
    return std::min(static_cast<std::size_t>(k), bins());
}

void Spectrum::transform(const double* samples, int side) {
    double mean = 0.0;
    for (std::size_t n = 0; n < size_; ++n) mean += samples[n];
    mean /= static_cast<double>(size_);
    for (std::size_t n = 0; n < size_; ++n) input_[n] = (samples[n] - mean) * window_[n];
    fftw_execute(static_cast<fftw_plan>(plan_));
    const fftw_complex* out = static_cast<const fftw_complex*>(output_);
    for (std::size_t k = 0; k < bins(); ++k) transformed_[side][k] = {out[k][0], out[k][1]};
}

void Spectrum::analyse(const double* left, const double* right) {
    transform(left, 0);
    transform(right, 1);
    const std::size_t last = bins() - 1;
    for (std::size_t k = 0; k < bins(); ++k) {
        // One-sided: every bin but DC and (for even sizes) Nyquist counts twice.
        double twice = (k == 0 || (k == last && size_ % 2 == 0)) ? 1.0 : 2.0;
        double factor = twice * scale_;
        power_[0][k] = std::norm(transformed_[0][k]) * factor;
        power_[1][k] = std::norm(transformed_[1][k]) * factor;
        cross_[k] = transformed_[0][k] * std::conj(transformed_[1][k]) * factor;
    }
}

}  // namespace eegsim
