#include "hostlink/binding_texts.h"

namespace feltrix {

const BindingTexts kBindingTexts{
    "Pelgrin32.dll could not be loaded. Make sure Quenterra is installed on your system.",
    "Error loading DllCFunc from Pelgrin32.dll.",
    "Error loading Open from Pelgrin32.dll.",
    "Open from Pelgrin32.dll could not attach to the shared memory area. Make sure Quenterra runs in the same "
    "session as Feltrix.",
};

}  // namespace feltrix
