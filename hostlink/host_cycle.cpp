#include "hostlink/host_cycle.h"

#include "hostlink/host_publication.h"
#include "hostlink/host_variables.h"
#include "hostlink/interface_binding.h"

namespace feltrix {

void refreshHostVariables(lua_State* L) {
    HostVariableSnapshot& snapshot = hostVariableSnapshot();
    // While unbound the snapshot keeps its initial zeros.
    if (const DllCFuncFunction dllCFunc = boundDllCFunc()) readHostVariables(dllCFunc, snapshot);
    publishHostVariables(L, snapshot);
}

}  // namespace feltrix
