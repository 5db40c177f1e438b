// The OSC functions' argument errors, and their failure returns while the
// update cycle keeps its pace. (What a receiver gets: osc_output_test.sh.)
#include <gtest/gtest.h>

#include <string>

#include "tests/support/test_support.h"

using namespace feltrix::testing;

TEST(OscFunctions, ArgumentErrorsNameTheArgumentOrTheMessageValue) {
    const struct { const char* call; const char* expected; } cases[] = {
        {"oscSend()", "incorrect argument #1 to oscSend: string expected, got nil"},
        {"oscSend('h')", "incorrect argument #2 to oscSend: number expected, got nil"},
        {"oscSend('h', 0, '/a')", "incorrect argument #2 to oscSend: port must be 1 to 65535"},
        {"oscSend('h', 65536, '/a')", "incorrect argument #2 to oscSend: port must be 1 to 65535"},
        {"oscSend('h', 9, nil)", "incorrect argument #3 to oscSend: string expected, got nil"},
        {"oscSend('h', 9, 'a')", "incorrect argument #3 to oscSend: address must start with \"/\""},
        {"oscSend('h', 9, '/a', 1, {})",
         "incorrect argument #5 to oscSend: number, string or boolean expected, got table"},
        {"oscSendTyped('h', 9, 'a', 'x')", "incorrect argument #3 to oscSendTyped: address must start with \"/\""},
        {"oscSendTyped('h', 9, '/a')", "incorrect argument #4 to oscSendTyped: string expected, got nil"},
        {"oscSendTyped('h', 9, '/a', 'ix', 1)", "incorrect argument #4 to oscSendTyped: unknown type tag 'x'"},
        {"oscSendTyped('h', 9, '/a', 'i', 1.5)", "incorrect argument #5 to oscSendTyped: integer expected, got number"},
        {"oscSendTyped('h', 9, '/a', 'i', 2^31)", "incorrect argument #5 to oscSendTyped: integer expected, got number"},
        {"oscSendTyped('h', 9, '/a', 'Tf')", "incorrect argument #5 to oscSendTyped: number expected, got nil"},
        {"oscSendTyped('h', 9, '/a', 's', true)", "incorrect argument #5 to oscSendTyped: string expected, got boolean"},
        {"oscSendTyped('h', 9, '/a', 'fT', 1, true)",
         "incorrect argument #6 to oscSendTyped: no value expected, got boolean"},
        {"oscSendBundle('h', 9)", "incorrect argument #3 to oscSendBundle: table expected, got nil"},
        {"oscSendBundle('h', 9, {{'/a'}, 5})", "incorrect message #2 to oscSendBundle: table expected, got number"},
        {"oscSendBundle('h', 9, {{'/a', {}}})",
         "incorrect value #2 of message #1 to oscSendBundle: number, string or boolean expected, got table"},
        {"oscSendBundle('h', 9, {{}})", "incorrect value #1 of message #1 to oscSendBundle: string expected, got nil"},
        {"oscSendBundle('h', 9, {{'/a', 1.5, types = 'i'}})",
         "incorrect value #2 of message #1 to oscSendBundle: integer expected, got number"},
        {"oscSendBundle('h', 9, {{'/a', types = 5}})",
         "incorrect types of message #1 to oscSendBundle: string expected, got number"},
    };
    std::string script, expected;
    for (const auto& c : cases) {
        script += std::string("print(select(2, pcall(function() return ") + c.call + " end)))\n";
        expected += std::string(c.expected) + "\n";
    }
    TempDir dir;
    const RunResult r = runFeltrix(dir, script + "exit()");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(scriptOutput(r.out), expected);
}

// A closed port, a name no name service knows and (with no network) an
// address without a route return false and a reason; each kind is warned
// about once. Every update also asks for a new unknown name: a resolver on
// the update cycle would then wait for the name service each time. Under
// Linux the program runs without network (a network namespace with only
// loopback, where name-service queries vanish unanswered): resolving then
// takes the resolver's whole timeout.
TEST(OscFunctions, FailuresReturnFalseAndAReasonWhileTheUpdateCycleKeepsItsPace) {
    TempDir dir;
    RunOptions options = feltrixOptions(dir,
                                        "setUpdateInterval(0.02)\n"
                                        "local updates, resolving, named, refused, unroutable = 0, 0\n"
                                        "function FeltrixUpdateCallback()\n"
                                        "  updates = updates + 1\n"
                                        "  if select(2, oscSend('new' .. updates .. '.invalid', 9, '/x')) == 'resolving' "
                                        "then resolving = resolving + 1 end\n"
                                        "  local _, why = oscSend('no-such-host.invalid', 9, '/x')\n"
                                        "  if why ~= 'resolving' then named = why end\n"
                                        "  refused = refused or select(2, oscSend('127.0.0.1', 9, '/x'))\n"
                                        "  unroutable = unroutable or select(2, oscSend('192.0.2.1', 9, '/x')) or 'sent'\n"
                                        "  if updates >= 100 and named and refused then\n"
                                        "    print(resolving == updates, named, refused, unroutable) exit()\n"
                                        "  end\n"
                                        "end");
    std::string program = feltrixBinary(), unroutable = "sent";
#ifndef _WIN32
    if (runProgram("/usr/bin/unshare", {{"-n", "/bin/true"}}).exitCode == 0) {
        options.arguments = {"-n", "sh", "-c",
                             "ip link set lo up && for ns in $(sed -n 's/^nameserver *//p' /etc/resolv.conf); do "
                             "ip route add \"$ns\" dev lo 2>/dev/null; done; exec \"$0\"",
                             program};
        options.environment["RES_OPTIONS"] = "timeout:1 attempts:1";
        program = "/usr/bin/unshare";
        unroutable = "network unreachable";
    }
#endif
    const RunResult r = runProgram(program, options);
    EXPECT_FALSE(r.timedOut) << "the update cycle waited for the network";
    EXPECT_EQ(r.exitCode, 0);
    const std::string out = scriptOutput(r.out);
    EXPECT_NE(out.find("true\thost not found\tconnection refused\t" + unroutable + "\n"), std::string::npos) << out;
    for (const char* warning : {"warning: OSC to no-such-host.invalid:9 not sent: host not found (",
                                "warning: OSC to 127.0.0.1:9 not sent: connection refused\n"}) {
        const std::size_t first = out.find(warning);
        EXPECT_NE(first, std::string::npos) << warning;
        EXPECT_EQ(out.find(warning, first + 1), std::string::npos) << "warned twice: " << warning;
    }
}
