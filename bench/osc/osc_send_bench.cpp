// Cost of OSC output as a script pays it: `messages` calls in one Lua chunk
// (one update callback's worth), for oscSend with three floats, oscSendTyped
// with an integer, a float and a string, and oscSendBundle of ten messages
// (counted as ten). A UDP socket of oscpack's listens on the port so that the
// sends are real ones (nothing reads it: the kernel drops what overflows,
// the sender does not notice). Prints the median milliseconds per chunk,
// beside the same number of bare sends of one such packet through the socket
// alone: the system's own cost (under wine each send is a round trip to the
// wine server, which dominates there).
//   osc_send_bench [messages] [rounds] [port]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <oscpack/ip/UdpSocket.h>

#include "app/script_functions.h"
#include "common/lua.h"
#include "osc/osc_packet_writer.h"
#include "osc/udp_socket.h"

using Clock = std::chrono::steady_clock;

namespace {

// Median milliseconds of running the compiled chunk at the top of the stack.
double medianMilliseconds(lua_State* L, int rounds) {
    std::vector<double> spent;
    for (int round = 0; round <= rounds; ++round) {
        lua_pushvalue(L, -1);
        const auto start = Clock::now();
        if (lua_pcall(L, 0, 0, 0) != 0) {
            std::fprintf(stderr, "%s\n", lua_tostring(L, -1));
            std::exit(1);
        }
        const std::chrono::duration<double, std::milli> elapsed = Clock::now() - start;
        if (round > 0) spent.push_back(elapsed.count());  // round 0 opens the socket
    }
    std::sort(spent.begin(), spent.end());
    return spent[spent.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int messages = argc > 1 ? std::max(10, std::atoi(argv[1])) : 1000;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 21;
    const int port = argc > 3 ? std::atoi(argv[3]) : 57199;
    UdpReceiveSocket receiver(IpEndpointName("127.0.0.1", port));

    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    feltrix::registerScriptFunctions(L);
    const std::string head = "local n, p, ok = " + std::to_string(messages) + ", " + std::to_string(port) +
                             ", true\nfor i = 1, n";
    const struct { const char* name; std::string chunk; } cases[] = {
        {"oscSend, 3 floats", head + " do ok = oscSend('127.0.0.1', p, '/synth/level', i * 0.5, 0.25, 1) and ok end"},
        {"oscSendTyped 'ifs'",
         head + " do ok = oscSendTyped('127.0.0.1', p, '/synth/note', 'ifs', i, 0.5, 'voice') and ok end"},
        {"oscSendBundle of 10",
         head + ", 10 do ok = oscSendBundle('127.0.0.1', p, {{'/a', i}, {'/b', i}, {'/c', i}, {'/d', i}, "
                "{'/e', i}, {'/f', i}, {'/g', i}, {'/h', i}, {'/i', i}, {'/j', i}}) and ok end"},
    };
    std::printf("%d messages to 127.0.0.1:%d per chunk, median of %d rounds\n", messages, port, rounds);
    for (const auto& c : cases) {
        if (luaL_loadstring(L, (c.chunk + "\nif not ok then error('a send failed') end").c_str()) != 0) {
            std::fprintf(stderr, "%s\n", lua_tostring(L, -1));
            return 1;
        }
        const double ms = medianMilliseconds(L, rounds);
        std::printf("  %-22s %8.3f ms  (%.2f us per message)\n", c.name, ms, ms * 1000.0 / messages);
        lua_pop(L, 1);
    }
    lua_close(L);

    // The floor: the same packet as oscSend's, sent `messages` times.
    char buffer[256];
    feltrix::OscPacketWriter writer(buffer, sizeof buffer);
    writer.beginMessage("/synth/level");
    for (float value : {0.5f, 0.25f, 1.0f}) writer.addFloat(value);
    writer.endMessage();
    feltrix::SocketAddress address;
    feltrix::UdpSocket socket;
    if (!feltrix::parseNumericAddress("127.0.0.1", address) ||
        socket.open(feltrix::withPort(address, port)) != feltrix::SendOutcome::sent) {
        std::fprintf(stderr, "no socket\n");
        return 1;
    }
    std::vector<double> spent;
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        for (int i = 0; i < messages; ++i) socket.send(writer.data(), writer.size());
        spent.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(spent.begin(), spent.end());
    const double ms = spent[spent.size() / 2];
    std::printf("  %-22s %8.3f ms  (%.2f us per message)\n", "bare socket sends", ms, ms * 1000.0 / messages);
    return 0;
}
