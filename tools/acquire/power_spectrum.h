#pragma once
// Power and cross spectra of the two sides over one analysis window, with
// FFTW: the mean of the window is removed, a Hann window applied, and the
// one-sided spectra scaled so that summing the power bins gives the mean
// square of the signal (microvolts squared).
#include <complex>
#include <cstddef>
#include <vector>

namespace eegsim {

class Spectrum {
public:
    Spectrum(std::size_t size, double sampleRate);
    ~Spectrum();
    Spectrum(const Spectrum&) = delete;
    Spectrum& operator=(const Spectrum&) = delete;

    // `size` samples of each side, oldest first.
    void analyse(const double* left, const double* right);

    std::size_t size() const { return size_; }
    std::size_t bins() const { return size_ / 2 + 1; }
    double binHz() const { return binHz_; }
    // First bin at or above `hz`, clamped to the spectrum.
    std::size_t binAt(double hz) const;

    // Mean square per bin (µV²), side 0 = left, 1 = right.
    const std::vector<double>& power(int side) const { return power_[side]; }
    // Left times the conjugate of right, scaled like the power.
    const std::vector<std::complex<double>>& cross() const { return cross_; }

private:
    void transform(const double* samples, int side);

    std::size_t size_;
    double binHz_;
    std::vector<double> window_;
    double scale_ = 1.0;
    double* input_ = nullptr;        // fftw_malloc'd, size_
    void* output_ = nullptr;         // fftw_complex[bins]
    void* plan_ = nullptr;           // fftw_plan
    std::vector<std::complex<double>> transformed_[2];
    std::vector<double> power_[2];
    std::vector<std::complex<double>> cross_;
};

}  // namespace eegsim
