#pragma once
namespace feltrix {

// Gives the program a console for its diagnostics (the audio engine's
// warnings, script print output, the init-script failure text) and sends
// standard output there. On Windows a GUI program has none: one is allocated
// and standard output reopened onto it, unless the launching process already
// redirected standard output to a file or a pipe, which is then kept (so that
// a parent, a test among them, reads everything the program prints). On Linux
// standard output is already where the user started the program: nothing to do.
void openConsole();

}  // namespace feltrix
