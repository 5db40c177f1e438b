// The snapshot: which index feeds which field, in which order, and how each
// library result is cut down to 16 bits.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "hostlink/host_variables.h"

using namespace feltrix;

namespace {

// A DllCFunc stand-in: records every call and answers with `fixedResult`, or
// with the index itself when `answerIndex` is set.
std::vector<std::pair<std::int32_t, std::int32_t>> calls;
bool answerIndex = true;
std::int32_t fixedResult = 0;

std::int32_t recordingDllCFunc(std::int32_t index, std::int32_t value) {
    calls.emplace_back(index, value);
    return answerIndex ? index : fixedResult;
}

HostVariableSnapshot readWithIndexAnswers() {
    calls.clear();
    answerIndex = true;
    HostVariableSnapshot snapshot{};
    readHostVariables(recordingDllCFunc, snapshot);
    return snapshot;
}

}  // namespace

TEST(HostVariableReads, OrderIsLeftThenRightThenArtifactThenEventTriples) {
    readWithIndexAnswers();
    ASSERT_EQ(calls.size(), 277u);
    for (const auto& call : calls) EXPECT_EQ(call.second, 0) << "reads pass value 0";
    // Each side reads 114 band fields; the right side's index is the left's + 128.
    std::set<std::int32_t> left;
    for (std::size_t i = 0; i < 114; ++i) {
        EXPECT_GE(calls[i].first, 1);
        EXPECT_LE(calls[i].first, 126);
        EXPECT_EQ(calls[114 + i].first, calls[i].first + 128) << "read " << i;
        left.insert(calls[i].first);
    }
    EXPECT_EQ(left.size(), 114u) << "no left index is read twice";
    EXPECT_EQ(calls[228].first, 1616);
    for (int n = 1; n <= 16; ++n) {
        const std::size_t at = 229 + 3 * static_cast<std::size_t>(n - 1);
        EXPECT_EQ(calls[at].first, 1743 + n) << "event " << n << " ValA";
        EXPECT_EQ(calls[at + 1].first, 1759 + n) << "event " << n << " ValB";
        EXPECT_EQ(calls[at + 2].first, 1775 + n) << "event " << n << " Flag";
    }
}

TEST(HostVariableReads, EveryFieldComesFromItsIndex) {
    const HostVariableSnapshot s = readWithIndexAnswers();
    struct Case {
        const char* what;
        std::int16_t got;
        int index;
    };
    const BandVariables& lDelta = s.bands[0][0];
    const BandVariables& lBeta = s.bands[0][4];
    const BandVariables& lResrv = s.bands[0][8];
    const BandVariables& rDelta = s.bands[1][0];
    const BandVariables& rUser = s.bands[1][7];
    const BandVariables& rResrv = s.bands[1][8];
    const Case cases[] = {
        {"leftDeltaValue", lDelta.value, 1},
        {"leftDeltaDampedValue", lDelta.dampedValue, 15},
        {"leftDeltaCoher", lDelta.coher, 26},
        {"leftDeltaMean", lDelta.mean, 97},
        {"leftDeltaModalFrequency", lDelta.modalFrequency, 11},
        {"leftDeltaPeakFrequency", lDelta.peakFrequency, 107},
        {"leftDeltaPercentTimeOverThreshold", lDelta.percentTimeOverThreshold, 113},
        {"leftDeltaPhase", lDelta.phase, 58},
        {"leftDeltaStandardDeviation", lDelta.standardDeviation, 49},
        {"leftDeltaHits", lDelta.hits, 81},
        {"leftDeltaThreshold", lDelta.threshold, 17},
        {"leftDeltaNextThreshold", lDelta.nextThreshold, 33},
        {"leftDeltaMode", lDelta.mode, 65},
        {"leftBetaCoher", lBeta.coher, 42},
        {"leftBetaDampedValue", lBeta.dampedValue, 47},
        {"leftBetaModalFrequency", lBeta.modalFrequency, 90},
        {"leftBetaPhase", lBeta.phase, 74},
        {"leftBetaPeakFrequency", lBeta.peakFrequency, 122},
        {"leftResrvValue", lResrv.value, 9},
        {"leftResrvMean", lResrv.mean, 105},
        {"leftResrvPercentTimeOverThreshold", lResrv.percentTimeOverThreshold, 121},
        {"rightDeltaValue", rDelta.value, 129},
        {"rightUserDampedValue", rUser.dampedValue, 78 + 128},
        {"rightUserPhase", rUser.phase, 77 + 128},
        {"rightResrvMode", rResrv.mode, 201},
        {"rightResrvPeakFrequency", rResrv.peakFrequency, 254},
        {"artifact", s.artifact, 1616},
        {"event1ValA", s.eventValA[0], 1744},
        {"event1ValB", s.eventValB[0], 1760},
        {"event1Flag", s.eventFlag[0], 1776},
        {"event16ValA", s.eventValA[15], 1759},
        {"event16ValB", s.eventValB[15], 1775},
        {"event16Flag", s.eventFlag[15], 1791},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.index) << c.what;
}

TEST(HostVariableReads, ResrvCoherDampedValueAndPhaseAreNeverRead) {
    HostVariableSnapshot s = readWithIndexAnswers();
    for (int side = 0; side < 2; ++side) {
        EXPECT_EQ(s.bands[side][8].coher, 0) << "side " << side;
        EXPECT_EQ(s.bands[side][8].dampedValue, 0) << "side " << side;
        EXPECT_EQ(s.bands[side][8].phase, 0) << "side " << side;
    }
    // Every other field of the snapshot was written (no index below 1 is read).
    const auto* words = reinterpret_cast<const std::int16_t*>(&s);
    std::size_t zeros = 0;
    for (std::size_t i = 0; i < sizeof s / sizeof(std::int16_t); ++i) zeros += words[i] == 0 ? 1 : 0;
    EXPECT_EQ(zeros, 6u);
}

TEST(HostVariableReads, KeepsTheLowSixteenBitsAsASignedNumber) {
    const struct {
        std::int32_t result;
        std::int16_t stored;
    } cases[] = {{0, 0},          {-1, -1},          {0x12345, 9029}, {70000, 4464},       {65536, 0},
                 {0xFFFF, -1},    {32767, 32767},    {32768, -32768}, {-32768, -32768},    {-32769, 32767},
                 {0x7FFFFFFF, -1}, {INT32_MIN, 0}};
    for (const auto& c : cases) {
        answerIndex = false;
        fixedResult = c.result;
        HostVariableSnapshot s{};
        readHostVariables(recordingDllCFunc, s);
        EXPECT_EQ(s.bands[1][2].value, c.stored) << c.result;
        EXPECT_EQ(s.artifact, c.stored) << c.result;
        EXPECT_EQ(s.eventFlag[7], c.stored) << c.result;
    }
    answerIndex = true;
}

TEST(PublishedVariables, NamesAndOrder) {
    std::vector<std::string> expected;
    const char* fields[] = {"Value", "Coher", "DampedValue", "Mean", "Threshold", "ModalFrequency", "NextThreshold",
                            "StandardDeviation", "Phase", "Mode", "Hits", "PeakFrequency",
                            "PercentTimeOverThreshold"};
    const char* bands[] = {"Delta", "Theta", "Alpha", "Lobeta", "Beta", "Hibeta", "Gamma", "User", "Resrv"};
    for (const char* side : {"left", "right"}) {
        for (const char* field : fields) {
            for (const char* band : bands) expected.push_back(std::string(side) + band + field);
        }
    }
    expected.push_back("artifact");
    for (const char* suffix : {"ValA", "ValB", "Flag"}) {
        for (int n = 1; n <= 16; ++n) expected.push_back("event" + std::to_string(n) + suffix);
    }
    const auto& published = publishedVariables();
    ASSERT_EQ(expected.size(), published.size());
    for (std::size_t i = 0; i < published.size(); ++i) {
        EXPECT_EQ(published[i].name, expected[i]) << "position " << i;
        EXPECT_EQ(published[i].isBoolean, expected[i] == "artifact") << expected[i];
    }
}

TEST(PublishedVariables, EachNamePublishesTheFieldItsIndexFeeds) {
    // With every read answering its own index, a published band or event
    // global must carry the index that the name stands for.
    const HostVariableSnapshot s = readWithIndexAnswers();
    const std::map<std::string, int> kExpected = {
        {"rightAlphaMean", 99 + 128},   {"leftGammaHits", 87},         {"rightHibetaThreshold", 22 + 128},
        {"leftLobetaNextThreshold", 36}, {"rightThetaStandardDeviation", 50 + 128}, {"event9ValB", 1768}};
    std::size_t checked = 0;
    std::set<std::uint32_t> offsets;
    for (const PublishedVariable& v : publishedVariables()) {
        offsets.insert(v.offset);
        const std::string name = v.name;
        const std::int16_t got = snapshotField(s, v.offset);
        const auto expected = kExpected.find(name);
        if (expected != kExpected.end()) {
            EXPECT_EQ(got, expected->second) << name;
            ++checked;
        }
        if (name.find("Resrv") != std::string::npos &&
            (name.find("Coher") != std::string::npos || name.find("DampedValue") != std::string::npos ||
             name.find("Phase") != std::string::npos)) {
            EXPECT_EQ(got, 0) << name;
        }
    }
    EXPECT_EQ(checked, kExpected.size());
    EXPECT_EQ(offsets.size(), 283u) << "every global has a field of its own";
}
