#include "tools/acquire/host_variables.h"

namespace eegsim {

void writeHostFrame(DllCFuncFunction dllCFunc, const HostFrame& frame) {
    for (const HostSlot& slot : hostSlots()) dllCFunc(-slot.index, slotValue(frame, slot));
}

}  // namespace eegsim
