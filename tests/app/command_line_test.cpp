#include <gtest/gtest.h>

#include "app/command_line.h"

TEST(CommandLine, OnlyTheExactOptionAnywhereSwitchesPassthroughOn) {
    const struct { std::vector<const char*> argv; bool expected; } cases[] = {
        {{"feltrix"}, false},
        {{"feltrix", "--passthroughStdin"}, true},
        {{"feltrix", "a", "b", "--passthroughStdin", "c"}, true},
        {{"--passthroughStdin"}, true},  // the program path counts too
        {{"feltrix", "--passthroughstdin"}, false},
        {{"feltrix", "--passthroughStdin=1"}, false},
        {{"feltrix", "-passthroughStdin"}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(feltrix::passthroughRequested(static_cast<int>(c.argv.size()), c.argv.data()), c.expected)
            << c.argv.back();
    }
}
