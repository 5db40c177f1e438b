#include "hostlink/try_load_quenterra.h"

namespace feltrix {

int luaTryLoadQuenterra(lua_State*) { return 0; }

}  // namespace feltrix
