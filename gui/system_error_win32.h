#pragma once
// Failure reports of Win32 calls: a message box captioned "Error" with the
// context, the error code and the system's text for it.
#include <windows.h>

#include <string>

namespace feltrix {

// "<context>: error <code>: <system text>" (the system text without its line
// break; only the context and the code when it has none).
std::string systemErrorText(DWORD code, const std::string& context);
// Shows systemErrorText in a box without owner (logged under automation).
void showSystemError(DWORD code, const std::string& context);
// Right after a failed call: the context alone when the thread's last error is
// 0, showSystemError otherwise.
void reportLastError(const std::string& context);

}  // namespace feltrix
