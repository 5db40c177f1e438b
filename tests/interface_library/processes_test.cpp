// Pelgrin32 as other programs use it: separate client processes, a race to
// create the area, a client in another language, and the library's exports.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "tests/interface_library/area_name.h"
#include "tests/interface_library/test_area.h"
#include "tests/support/test_support.h"

namespace pelgrin32::testing {
namespace {

using feltrix::testing::RunOptions;
using feltrix::testing::RunResult;
using feltrix::testing::runProgram;

RunResult client(std::vector<std::string> arguments) {
    RunOptions options;
    options.arguments = std::move(arguments);
    return runProgram(PELGRIN32_CLIENT, options);
}

std::string programOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string candidate = folder + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return "";
}

TEST(Pelgrin32Processes, EveryExportReturnsItsNotAttachedValueAndTouchesNothing) {
    ScopedAreaName name;
    const RunResult run = client({"unattached"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "-1 -1 -1 -1 0 0 0 0 0 0 0 0 42 0\n");
    EXPECT_FALSE(name.exists());  // no area was made
}

TEST(Pelgrin32Processes, OneProcessCreatesAndWritesAnotherOpensAndReads) {
    ScopedAreaName name;
    const std::string ext = std::to_string(extended(1, 0, 2, 3, 0));
    const RunResult writer = client({"write", "17", "70000", "1616", "-3", ext, "-123456", "1793", "1234"});
    ASSERT_EQ(writer.exitCode, 0) << writer.out << writer.err;
    EXPECT_EQ(writer.out, "70000\n-3\n-123456\n1234\n");
    const std::string word3 = std::to_string(extended(5, 0, 0, 0, 3));  // field 0: the word itself
    const RunResult reader = client({"read", "17", "1616", ext, "3", word3, "1793"});
    ASSERT_EQ(reader.exitCode, 0) << reader.out << reader.err;
    // Word 3 mirrors the low 16 bits of the value (0xFFFE1DC0).
    EXPECT_EQ(reader.out, "70000\n-3\n-123456\n-123456\n7616\n1234\n");
}

// Starts one client per argument list; each blocks until `start` is closed,
// so they all attach at the same moment. Returns their exit codes.
std::vector<int> runRace(const std::vector<std::vector<std::string>>& arguments, std::vector<std::string>& outputs) {
    int start[2];
    if (pipe(start) != 0) return {};
    feltrix::testing::TempDir dir;
    std::vector<pid_t> children;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::vector<std::string> text{PELGRIN32_CLIENT};
        text.insert(text.end(), arguments[i].begin(), arguments[i].end());
        std::vector<char*> argv;
        for (auto& t : text) argv.push_back(t.data());
        argv.push_back(nullptr);
        const std::string out = dir.file("out" + std::to_string(i));
        const pid_t child = fork();
        if (child == 0) {
            dup2(start[0], STDIN_FILENO);
            close(start[1]);
            const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(fd, STDOUT_FILENO);
            execv(PELGRIN32_CLIENT, argv.data());
            _exit(127);
        }
        children.push_back(child);
    }
    close(start[0]);
    close(start[1]);  // go
    std::vector<int> codes;
    for (const pid_t child : children) {
        int status = -1;
        const bool ended = feltrix::testing::waitFor([&] { return waitpid(child, &status, WNOHANG) == child; },
                                                     std::chrono::seconds(30));
        if (!ended) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
        }
        codes.push_back(ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    }
    for (std::size_t i = 0; i < arguments.size(); ++i)
        outputs.push_back(feltrix::testing::readFile(dir.file("out" + std::to_string(i))));
    return codes;
}

TEST(Pelgrin32Processes, TwoProcessesCreatingAtOnceShareOneLaidOutArea) {
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ScopedAreaName name;
        std::vector<std::string> outputs;
        // Threshold of band 1 of channel records 0 and 1: reached through the
        // area's tables, so both must see the finished layout.
        const auto codes = runRace({{"race", "17", "111", "145", "222"}, {"race", "145", "222", "17", "111"}},
                                   outputs);
        ASSERT_EQ(codes, (std::vector<int>{0, 0}));
        EXPECT_EQ(outputs, (std::vector<std::string>{"ok\n", "ok\n"}));
        // Laid out once and completely: only the written fields and words differ
        // from a fresh layout.
        auto expected = expectedFreshLayout();
        const std::int16_t words[] = {111, 222};
        const std::int32_t fields[] = {111, 222};
        std::memcpy(&expected[hostWord(17)], &words[0], 2);
        std::memcpy(&expected[hostWord(145)], &words[1], 2);
        std::memcpy(&expected[bandRecord(0, 1) + kThreshold], &fields[0], 4);
        std::memcpy(&expected[bandRecord(1, 1) + kThreshold], &fields[1], 4);
        const auto diff = differences(name.snapshot(), expected);
        EXPECT_TRUE(diff.empty()) << diff.size() << " bytes differ, the first at offset " << diff.front();
    }
}

TEST(Pelgrin32Processes, PythonCtypesClientReadsAndWritesWhatCppProcessesDo) {
    const std::string python = programOnPath("python3");
    if (python.empty()) GTEST_SKIP() << "python3 is not installed";
    ScopedAreaName name;
    const std::int32_t real = extended(1, 0, 21, 2, 0);
    ASSERT_EQ(client({"write", "17", "4242"}).exitCode, 0);
    ASSERT_EQ(client({"dblwrite", std::to_string(real), "2.5"}).exitCode, 0);

    RunOptions options;
    options.arguments = {PELGRIN32_CTYPES_SCRIPT, PELGRIN32_LIBRARY, std::to_string(real)};
    // An instrumented library needs its sanitizer runtime loaded first.
    if (std::string(PELGRIN32_PRELOAD).size() > 0) {
        options.environment["LD_PRELOAD"] = PELGRIN32_PRELOAD;
        options.environment["ASAN_OPTIONS"] = "detect_leaks=0";
    }
    const RunResult run = runProgram(python, options);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(run.out, "17 4242\nreal 2.5\nwrite -321\nfn 42\n");
    const RunResult reader = client({"read", "18"});
    EXPECT_EQ(reader.out, "-321\n");
}

std::vector<std::string> words(const std::string& text) {
    std::stringstream in(text);
    std::vector<std::string> all;
    std::string w;
    while (in >> w) all.push_back(w);
    return all;
}

TEST(Pelgrin32Library, ExportsExactlyTheSixteenNamesWithCLinkage) {
    const std::string nm = programOnPath("nm");
    if (nm.empty()) GTEST_SKIP() << "nm is not installed";
    RunOptions options;
    options.arguments = {"-D", "--defined-only", PELGRIN32_LIBRARY};
    const RunResult run = runProgram(nm, options);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::set<std::string> names;
    for (const std::string& line : feltrix::testing::lines(run.out)) {
        const auto fields = words(line);
        if (!fields.empty()) names.insert(fields.back());
    }
    const std::set<std::string> expected = {"Open", "OpenB", "OpenL", "OpenL16", "DllCFunc", "DllCF16",
                                            "DllPeek", "DllPoke", "EDllPeek", "EDllPoke", "EDllDblPeek",
                                            "EDllDblPoke", "EDllCRead", "EDllCWrite", "fnTuskExtDll", "nTuskExtDll"};
    EXPECT_EQ(names, expected);
}

TEST(Pelgrin32Library, DependsOnNothingOfThisSystem) {
    const std::string readelf = programOnPath("readelf");
    if (readelf.empty()) GTEST_SKIP() << "readelf is not installed";
    RunOptions options;
    options.arguments = {"-d", PELGRIN32_LIBRARY};
    const RunResult run = runProgram(readelf, options);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    int needed = 0;
    for (const std::string& line : feltrix::testing::lines(run.out)) {
        if (line.find("(NEEDED)") == std::string::npos) continue;
        ++needed;
        const std::string library = line.substr(line.find('[') + 1);
        // The C and C++ runtimes (and a sanitizer's) only.
        const bool runtime = library.rfind("libc.", 0) == 0 || library.rfind("libstdc++", 0) == 0 ||
                             library.rfind("libgcc_s", 0) == 0 || library.rfind("libm.", 0) == 0 ||
                             library.rfind("ld-linux", 0) == 0 || library.rfind("libasan", 0) == 0 ||
                             library.rfind("libubsan", 0) == 0 || library.rfind("libtsan", 0) == 0;
        EXPECT_TRUE(runtime) << library;
    }
    EXPECT_GT(needed, 0);
}

}  // namespace
}  // namespace pelgrin32::testing
