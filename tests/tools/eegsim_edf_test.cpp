// Recordings through libedf: files written here with known sines per channel
// must show up in the right band on the side their label was chosen for.
#include <gtest/gtest.h>

#include <edflib.h>

#include <cmath>
#include <vector>

#include "tests/support/test_support.h"
#include "tools/eegsim/acquisition.h"
#include "tools/eegsim/edf_source.h"

using namespace eegsim;
using feltrix::testing::TempDir;

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Channel {
    const char* label;
    double frequency;  // Hz
    double amplitude;  // peak, in the channel's unit
    const char* unit;
};

// Writes `seconds` of sines, 256 samples per second per channel.
void writeRecording(const std::string& path, int fileType, const std::vector<Channel>& channels, int seconds) {
    const int rate = 256;
    const bool bdf = fileType == EDFLIB_FILETYPE_BDFPLUS;
    int handle = edfopen_file_writeonly(path.c_str(), fileType, static_cast<int>(channels.size()));
    ASSERT_GE(handle, 0);
    for (int i = 0; i < static_cast<int>(channels.size()); ++i) {
        ASSERT_EQ(edf_set_samplefrequency(handle, i, rate), 0);
        ASSERT_EQ(edf_set_physical_maximum(handle, i, 2.0 * channels[i].amplitude), 0);
        ASSERT_EQ(edf_set_physical_minimum(handle, i, -2.0 * channels[i].amplitude), 0);
        ASSERT_EQ(edf_set_digital_maximum(handle, i, bdf ? 8388607 : 32767), 0);
        ASSERT_EQ(edf_set_digital_minimum(handle, i, bdf ? -8388608 : -32768), 0);
        ASSERT_EQ(edf_set_label(handle, i, channels[i].label), 0);
        ASSERT_EQ(edf_set_physical_dimension(handle, i, channels[i].unit), 0);
    }
    std::vector<double> buffer(rate);
    for (int second = 0; second < seconds; ++second) {
        for (const Channel& c : channels) {
            for (int n = 0; n < rate; ++n) {
                double t = second + n / double(rate);
                buffer[n] = c.amplitude * std::sin(2.0 * kPi * c.frequency * t);
            }
            ASSERT_EQ(edfwrite_physical_samples(handle, buffer.data()), 0);
        }
    }
    ASSERT_EQ(edfclose_file(handle), 0);
}

HostFrame measure(EdfSource& source, double seconds) {
    Acquisition acquisition(AnalysisConfig{}, source.sampleRate());
    std::vector<double> left, right;
    while (acquisition.seconds() < seconds) {
        std::size_t n = acquisition.samplesForNextTick();
        left.resize(n);
        right.resize(n);
        EXPECT_EQ(source.read(left.data(), right.data(), n), n);
        acquisition.tick(left.data(), right.data(), n);
    }
    return acquisition.frame();
}

const std::vector<Channel> kChannels = {
    {"EEG C3", 6.0, 40.0, "uV"},    // theta
    {"ECG", 1.2, 900.0, "uV"},      // not chosen
    {"EEG C4", 17.0, 0.02, "mV"},   // beta, 20 µV given in millivolts
};

}  // namespace

class RecordingTypes : public ::testing::TestWithParam<int> {};

TEST_P(RecordingTypes, ChosenChannelsGiveTheirBandOnTheirSide) {
    TempDir dir;
    const std::string path = dir.file("session.edf");
    writeRecording(path, GetParam(), kChannels, 4);
    std::string error;
    // Labels match without regard to case and surrounding blanks.
    auto source = EdfSource::open({path, " eeg c3", "EEG C4 ", true}, error);
    ASSERT_TRUE(source) << error;
    EXPECT_EQ(source->sampleRate(), 256.0);
    EXPECT_EQ(source->leftLabel(), "EEG C3");
    HostFrame frame = measure(*source, 3.5);
    const double theta = 40.0 / std::sqrt(2.0) * 10.0, beta = 20.0 / std::sqrt(2.0) * 10.0;
    EXPECT_NEAR(frame.band[0][Theta][Value], theta, 0.05 * theta);
    EXPECT_NEAR(frame.band[0][Theta][PeakFrequency], 60, 2);
    EXPECT_LT(frame.band[0][Beta][Value], 5);
    EXPECT_NEAR(frame.band[1][Beta][Value], beta, 0.05 * beta);
    EXPECT_NEAR(frame.band[1][Beta][PeakFrequency], 170, 2);
    EXPECT_LT(frame.band[1][Theta][Value], 5);
    EXPECT_EQ(frame.artifact, 0);

    // The other way round (libedf opens a file once at a time).
    source.reset();
    auto swapped = EdfSource::open({path, "EEG C4", "EEG C3", true}, error);
    ASSERT_TRUE(swapped) << error;
    frame = measure(*swapped, 3.5);
    EXPECT_NEAR(frame.band[0][Beta][Value], beta, 0.05 * beta);
    EXPECT_NEAR(frame.band[1][Theta][Value], theta, 0.05 * theta);

    // The ECG channel on one side: far over the artifact limit.
    swapped.reset();
    auto ecg = EdfSource::open({path, "ECG", "EEG C3", true}, error);
    ASSERT_TRUE(ecg) << error;
    EXPECT_EQ(measure(*ecg, 2.5).artifact, 1);
}

INSTANTIATE_TEST_SUITE_P(Formats, RecordingTypes, ::testing::Values(EDFLIB_FILETYPE_EDFPLUS, EDFLIB_FILETYPE_BDFPLUS));

TEST(EdfSource, LoopsAtTheEndUnlessToldNotTo) {
    TempDir dir;
    const std::string path = dir.file("short.bdf");
    writeRecording(path, EDFLIB_FILETYPE_BDFPLUS, kChannels, 2);
    std::vector<double> left(1000), right(1000);
    std::string error;
    auto looping = EdfSource::open({path, "EEG C3", "EEG C4", true}, error);
    ASSERT_TRUE(looping) << error;
    EXPECT_EQ(looping->read(left.data(), right.data(), 1000), 1000u);  // 512 samples in the file
    EXPECT_NEAR(left[512], left[0], 1e-6);                             // starts again
    looping.reset();
    auto once = EdfSource::open({path, "EEG C3", "EEG C4", false}, error);
    ASSERT_TRUE(once) << error;
    EXPECT_EQ(once->read(left.data(), right.data(), 1000), 512u);
    EXPECT_EQ(once->read(left.data(), right.data(), 10), 0u);
}

TEST(EdfSource, ClearErrors) {
    TempDir dir;
    const std::string good = dir.file("good.edf");
    writeRecording(good, EDFLIB_FILETYPE_EDFPLUS, kChannels, 1);
    const std::string text = dir.write("notes.edf", "This is a text file, not a recording.\n");
    const std::string empty = dir.write("empty.edf", "");
    struct Case {
        EdfChoice choice;
        std::vector<std::string> mentions;
    } cases[] = {
        {{dir.file("missing.edf"), "", "", true}, {"missing.edf", "no such file"}},
        {{text, "", "", true}, {"notes.edf", "is not an EDF"}},
        {{empty, "", "", true}, {"empty.edf", "is not an EDF"}},
        {{good, "Fp1", "EEG C4", true}, {"\"Fp1\"", "\"EEG C3\", \"ECG\", \"EEG C4\""}},
        {{good, "EEG C3", "O2", true}, {"\"O2\""}},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(EdfSource::open(c.choice, error));
        for (const std::string& part : c.mentions) EXPECT_NE(error.find(part), std::string::npos) << error;
    }
}
