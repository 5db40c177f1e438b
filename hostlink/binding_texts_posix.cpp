#include "hostlink/binding_texts.h"

namespace feltrix {

const BindingTexts kBindingTexts{
    "libpelgrin32.so could not be loaded. Make sure Quenterra is installed on your system.",
    "Error loading DllCFunc from libpelgrin32.so.",
    "Error loading Open from libpelgrin32.so.",
    "Open from libpelgrin32.so could not attach to the shared memory area. Make sure shared memory (/dev/shm) "
    "is available and writable, and that Quenterra runs as the same user as Feltrix.",
};

}  // namespace feltrix
