#pragma once
// Replays two channels of an EDF, EDF+, BDF or BDF+ recording (through libedf)
// as the left and the right side, in microvolts.
#include <memory>
#include <string>
#include <vector>

#include "tools/acquire/signal_source.h"

namespace eegsim {

struct EdfChoice {
    std::string path;
    // Channel labels (compared without surrounding blanks, ignoring case);
    // empty = the file's first signal for the left, its second (or first)
    // for the right.
    std::string leftLabel;
    std::string rightLabel;
    bool loop = true;  // start again at the end of the recording
};

class EdfSource : public SignalSource {
public:
    // Opens the file; on failure returns null and puts a message in `error`.
    static std::unique_ptr<EdfSource> open(const EdfChoice& choice, std::string& error);
    ~EdfSource() override;
    EdfSource(const EdfSource&) = delete;
    EdfSource& operator=(const EdfSource&) = delete;

    double sampleRate() const override { return sampleRate_; }
    std::size_t read(double* left, double* right, std::size_t count) override;

    const std::string& leftLabel() const { return leftLabel_; }
    const std::string& rightLabel() const { return rightLabel_; }
    // Human-readable description: file type, labels, rate, duration.
    std::string describe() const;

private:
    EdfSource() = default;
    std::size_t readSide(int signal, double* out, std::size_t count);
    void scale(double* samples, std::size_t count, double factor);

    int handle_ = -1;
    int fileType_ = 0;
    int leftSignal_ = 0;
    int rightSignal_ = 0;
    std::string leftLabel_;
    std::string rightLabel_;
    double sampleRate_ = 0.0;
    double leftScale_ = 1.0;   // physical unit -> microvolts
    double rightScale_ = 1.0;
    long long samplesInFile_ = 0;
    bool loop_ = true;
};

// The file's signal labels, without surrounding blanks (for messages).
std::string trimLabel(const char* label);

}  // namespace eegsim
