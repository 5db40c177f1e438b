// Mapping files: what a rule line means, and the one-line errors of bad ones.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tools/acquire/host_variables.h"
#include "tools/acquire/osc_map.h"

using namespace eegsim;

TEST(OscMap, RulesAndTheirErrors) {
    OscMap map;
    std::string error;
    ASSERT_TRUE(parseOscMap("# comment\n/a/*/raw 2 sample F5 scale=0.5 args=9  # tail\n"
                            "/b 1 band alpha all bels\n/c ignore\n",
                            "m", map, error))
        << error;
    ASSERT_EQ(map.rules.size(), 3u);
    EXPECT_EQ(map.rules[0].position, 1u);
    EXPECT_EQ(map.rules[0].sensor, "F5");
    EXPECT_EQ(map.rules[0].scale, 0.5);
    EXPECT_EQ(map.rules[0].arguments, 9);
    EXPECT_EQ(map.rules[1].band, Alpha);
    EXPECT_EQ(map.rules[1].sensor, "");  // every sensor
    EXPECT_NEAR(bandRuleValue(map.rules[1], 1.5), std::sqrt(std::pow(10.0, 1.5)), 1e-12);
    EXPECT_EQ(map.rules[2].kind, OscRule::Kind::Ignore);

    const struct { const char* text; const char* message; } bad[] = {
        {"x 1 sample A", "m, line 1: an address starts with /: x"},
        {"/a 0 sample A", "m, line 1: bad argument position 0 (1 is the first)"},
        {"/a 1 wave A", "m, line 1: unknown kind wave"},
        {"/a 1 band Mu A bels", "m, line 1: unknown band Mu"},
        {"/a 1 band Alpha A log", "m, line 1: unknown conversion log"},
        {"\n/a 1 sample", "m, line 2: expected 1 words after the kind, found 0"},
        {"/a 1 sample A scale=0", "m, line 1: bad option scale=0"},
        {"/a ignore 3", "m, line 1: nothing may follow ignore"},
        {"# nothing\n", "m holds no rules"},
    };
    for (const auto& c : bad) {
        EXPECT_FALSE(parseOscMap(c.text, "m", map, error)) << c.text;
        EXPECT_EQ(error.rfind(c.message, 0), 0u) << c.text << " -> " << error;
    }
    // The mappings shipped for other devices load.
    for (const char* name : {"neurosity-crown.oscmap", "openbci-gui.oscmap"})
        EXPECT_TRUE(loadOscMap(std::string(OSC_MAPS_DIR) + "/" + name, map, error)) << error;
}

TEST(OscMap, AddressWildcards) {
    const struct { const char* pattern; const char* address; bool matches; } cases[] = {
        {"/muse/eeg", "/muse/eeg", true},      {"/muse/eeg", "/muse/eeg/x", false},
        {"/crown*/alpha", "/crownab12/alpha", true}, {"/crown*/alpha", "/crown/alpha", true},
        {"/crown*/alpha", "/crownab/alphas", false}, {"/a/*/raw", "/a/b/c/raw", true},
        {"/m/*_relative", "/m/alpha_relative", true}, {"/m/*_relative", "/m/alpha_absolute", false},
        {"*", "", true}, {"/x", "", false},
    };
    for (const auto& c : cases) EXPECT_EQ(addressMatches(c.pattern, c.address), c.matches) << c.pattern << " " << c.address;
}
