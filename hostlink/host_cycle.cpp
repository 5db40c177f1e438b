#include "hostlink/host_cycle.h"

namespace feltrix {

void refreshHostVariables(lua_State*) {}

}  // namespace feltrix
