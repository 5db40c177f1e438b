#pragma once
namespace feltrix {

// True when any argument (the program path included) is exactly
// "--passthroughStdin". Every other argument is ignored.
bool passthroughRequested(int argc, const char* const* argv);

}  // namespace feltrix
