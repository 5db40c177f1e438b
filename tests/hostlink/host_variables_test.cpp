// The snapshot: which index feeds which field in which order, and which
// global publishes it.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "hostlink/host_variables.h"
#include "interface_library/plain_index.h"
#include "tests/interface_library/test_area.h"

using namespace feltrix;

namespace {

// A DllCFunc stand-in that records every call and answers with the index.
std::vector<std::pair<std::int32_t, std::int32_t>> calls;
std::int32_t PELGRIN32_CALL answerIndex(std::int32_t index, std::int32_t value) {
    calls.emplace_back(index, value);
    return index;
}

HostVariableSnapshot readWithIndexAnswers() {
    calls.clear();
    HostVariableSnapshot snapshot{};
    readHostVariables(answerIndex, snapshot);
    return snapshot;
}

}  // namespace

// Reads pass 0, each index once, left then right side, artifact, event triples; each global
// carries the index its name stands for (band globals: next test); Resrv Coher/Damped/Phase unread.
TEST(PublishedVariables, EachGlobalCarriesTheIndexItsNameStandsFor) {
    const HostVariableSnapshot s = readWithIndexAnswers();
    ASSERT_EQ(calls.size(), 277u);
    std::set<std::int32_t> indices;
    for (const auto& [index, value] : calls) indices.insert(value == 0 ? index : -index);
    EXPECT_TRUE(indices.size() == 277u && *indices.begin() > 0);
    const std::pair<std::size_t, std::int32_t> anchors[] = {{0, 1}, {1, 2}, {9, 26}, {113, 121}, {114, 129},
        {227, 249}, {228, 1616}, {229, 1744}, {230, 1760}, {231, 1776}, {276, 1791}};
    for (const auto& [at, index] : anchors) EXPECT_EQ(calls[at].first, index) << "read " << at;
    std::map<std::string, int> published;
    std::set<std::uint32_t> offsets;
    for (const PublishedVariable& v : publishedVariables()) {
        published[v.name] = snapshotField(s, v.offset);
        offsets.insert(v.offset);
    }
    EXPECT_EQ(offsets.size(), 283u) << "every global has a field of its own";
    const std::pair<const char*, int> cases[] = {
        {"leftDeltaValue", 1}, {"rightDeltaValue", 129}, {"artifact", 1616}, {"event1ValA", 1744},
        {"event1ValB", 1760}, {"event1Flag", 1776}, {"event9ValB", 1768}, {"event16ValA", 1759},
        {"event16ValB", 1775}, {"event16Flag", 1791}, {"leftResrvCoher", 0}, {"leftResrvDampedValue", 0},
        {"leftResrvPhase", 0}, {"rightResrvCoher", 0}, {"rightResrvDampedValue", 0}, {"rightResrvPhase", 0},
    };
    for (const auto& [name, index] : cases) EXPECT_EQ(published.at(name), index) << name;
    int zeros = 0;
    for (const auto& entry : published) zeros += entry.second == 0 ? 1 : 0;
    EXPECT_EQ(zeros, 6) << "every other global was read";
}

// The plain index each band global is read from reaches, through Pelgrin32's plain codes, the
// band record field the global's name says (catches a wrong code in either table).
TEST(PublishedVariables, PlainIndicesReachTheFieldsTheirNamesSay) {
    namespace area = pelgrin32::testing;
    const char* bands[] = {"Delta", "Theta", "Alpha", "Lobeta", "Beta", "Hibeta", "Gamma", "User", "Resrv"};
    const std::pair<const char*, std::size_t> fields[] = {
        {"Value", area::kValue}, {"Coher", area::kCoher}, {"DampedValue", area::kDampedValue}, {"Mean", area::kMean},
        {"ModalFrequency", area::kModalFrequency}, {"PeakFrequency", area::kPeakFrequency},
        {"PercentTimeOverThreshold", area::kPercentTimeOverThreshold}, {"Phase", area::kPhase},
        {"StandardDeviation", area::kStandardDeviation}, {"Hits", area::kHits}, {"Threshold", area::kThreshold},
        {"NextThreshold", area::kNextThreshold}, {"Mode", area::kMode}};
    const HostVariableSnapshot s = readWithIndexAnswers();
    int checked = 0;
    for (const PublishedVariable& v : publishedVariables()) {
        const std::string name = v.name;
        const int index = snapshotField(s, v.offset);
        for (std::size_t band = 0; band < 9; ++band) {
            for (const auto& [field, offset] : fields) {
                const std::size_t side = name.rfind("left", 0) == 0 ? 0 : 1;
                if (name != (side == 0 ? "left" : "right") + std::string(bands[band]) + field || index == 0) continue;
                SCOPED_TRACE(name);
                area::TestArea written;
                ASSERT_EQ(pelgrin32::writePlain(written.view(), index, 1000 + checked), 1000 + checked);
                EXPECT_EQ(written.i32(area::bandRecord(side, band + 1) + offset), 1000 + checked);
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, 2 * 114);
}
