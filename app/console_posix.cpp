#include "app/console.h"

namespace feltrix {

void openConsole() {}

}  // namespace feltrix
