#pragma once
// Starting a test's program on Windows, shared by runProgram and BackgroundProgram.
#include <windows.h>

#include "tests/support/test_support.h"

namespace feltrix::testing {

// CreateProcessW with `options`' arguments (each quoted whole), environment and working folder, the
// given standard handles (inherited) and creation flags; false when the program cannot be started.
bool startProcess(const std::string& program, const RunOptions& options, HANDLE in, HANDLE out, HANDLE err,
                  DWORD flags, PROCESS_INFORMATION& process);

}  // namespace feltrix::testing
