#pragma once
// The Windows platform files' shared helpers: UTF-8 <-> UTF-16 (the program
// keeps every text in UTF-8 and widens it only where a wide Windows call takes
// it), the system's error texts and module paths.
#include <string>

namespace feltrix {

// Invalid UTF-8 becomes U+FFFD; an empty text gives an empty result.
std::wstring utf8ToWide(const std::string& text);
std::string wideToUtf8(const std::wstring& text);
// Into the system's ANSI code page, without best-fit mapping: a character the
// code page lacks becomes its default character, never a look-alike. Texts
// read back from controls for scripts (drop-down entries) go through this.
std::string wideToAnsi(const std::wstring& text);
// The system's text for an error code (GetLastError), without its line break;
// "error N" when the system has none.
std::wstring systemMessage(unsigned long code);
// The full path of a loaded module's file (`module` an HMODULE; null for the
// running program), however long; empty when the system cannot give it.
std::wstring moduleFileName(void* module);

}  // namespace feltrix
