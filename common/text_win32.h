#pragma once
// UTF-8 <-> UTF-16 for the Windows platform files: the program keeps every
// text in UTF-8 and widens it only where a wide Windows call takes it.
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

}  // namespace feltrix
