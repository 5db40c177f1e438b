#include "gui/gui_functions.h"

namespace feltrix {

void registerGuiFunctions(lua_State*) {}

}  // namespace feltrix
