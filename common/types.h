#pragma once
// Types shared between the subsystems.
#include <cstdint>

namespace feltrix {

// 0-based index into the audio engine's channel table.
using ChannelNumber = std::uint32_t;
// Identifier of a script-created control or rectangle (1024 upward).
using GuiItemId = std::int32_t;
// Index naming one host variable in the shared area.
using HostVariableIndex = std::int32_t;

}  // namespace feltrix
