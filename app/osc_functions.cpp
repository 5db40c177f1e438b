#include "app/osc_functions.h"

#include <exception>

#include "app/osc_arguments.h"
#include "common/script_args.h"
#include "osc/osc_packet_writer.h"
#include "osc/osc_sender.h"

namespace feltrix {
namespace {

// One packet at a time, on the main thread: a buffer the size of the largest
// UDP datagram, reused by every call.
char packetBuffer[65536];

OscPacketWriter& packetWriter() {
    static OscPacketWriter writer(packetBuffer, sizeof packetBuffer);
    return writer;
}

struct Target {
    const char* host;
    int port;
};

// Arguments 1 and 2 with the function's texts.
Target checkTarget(lua_State* L, const char* hostFormat, const char* portFormat, const char* portRange) {
    const char* host = checkStringArgument(L, 1, hostFormat);
    const lua_Number port = checkNumberArgument(L, 2, portFormat);
    if (!(port >= 1 && port < 65536)) raiseFixedError(L, portRange);
    return {host, static_cast<int>(port)};
}

// Sends what the packet writer holds: true, or false and the reason.
int sendPacket(lua_State* L, const Target& target) {
    const OscPacketWriter& writer = packetWriter();
    const char* reason = osc_reason::kNetworkError;
    try {
        reason = writer.fits() ? oscSender().send(target.host, target.port, writer.data(), writer.size())
                               : oscSender().fail(target.host, target.port, osc_reason::kTooLarge);
    } catch (const std::exception&) {
        // Out of memory for a destination or a warning: not sent, nothing raised.
    }
    if (reason == nullptr) {
        lua_pushboolean(L, 1);
        return 1;
    }
    lua_pushboolean(L, 0);
    lua_pushstring(L, reason);
    return 2;
}

// Checks the message at `source`, then packs and sends it.
int sendMessage(lua_State* L, const Target& target, const OscMessageSource& source, const char* tags) {
    walkOscMessage(L, source, tags, nullptr);
    packetWriter().clear();
    walkOscMessage(L, source, tags, &packetWriter());
    return sendPacket(L, target);
}

}  // namespace

int luaOscSend(lua_State* L) {
    const Target target = checkTarget(L, "incorrect argument #1 to oscSend: string expected, got %s",
                                      "incorrect argument #2 to oscSend: number expected, got %s",
                                      "incorrect argument #2 to oscSend: port must be 1 to 65535");
    return sendMessage(L, target, OscMessageSource{"oscSend", 3, 4}, nullptr);
}

int luaOscSendTyped(lua_State* L) {
    const Target target = checkTarget(L, "incorrect argument #1 to oscSendTyped: string expected, got %s",
                                      "incorrect argument #2 to oscSendTyped: number expected, got %s",
                                      "incorrect argument #2 to oscSendTyped: port must be 1 to 65535");
    checkOscAddress(L, OscMessageSource{"oscSendTyped", 3, 5});
    const char* tags = checkStringArgument(L, 4, "incorrect argument #4 to oscSendTyped: string expected, got %s");
    return sendMessage(L, target, OscMessageSource{"oscSendTyped", 3, 5}, tags);
}

int luaOscSendBundle(lua_State* L) {
    const Target target = checkTarget(L, "incorrect argument #1 to oscSendBundle: string expected, got %s",
                                      "incorrect argument #2 to oscSendBundle: number expected, got %s",
                                      "incorrect argument #2 to oscSendBundle: port must be 1 to 65535");
    if (!lua_istable(L, 3)) raiseArgumentError(L, 3, "incorrect argument #3 to oscSendBundle: table expected, got %s");
    walkOscBundle(L, "oscSendBundle", 3, nullptr);
    packetWriter().clear();
    walkOscBundle(L, "oscSendBundle", 3, &packetWriter());
    return sendPacket(L, target);
}

}  // namespace feltrix
