#include <windows.h>
#include <io.h>

#include <cstdio>
#include <vector>

#include "common/text_win32.h"
#include "tools/render/render_system.h"

namespace feltrix::render {
namespace {

// The system's text for an error code, without its closing full stop.
std::string systemErrorText(DWORD code) {
    std::string text = wideToUtf8(systemMessage(code));
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

}  // namespace

bool standardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

std::string absolutePath(const std::string& path) {
    const std::wstring wide = utf8ToWide(path);
    const DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (length == 0) return path;
    std::vector<wchar_t> full(length);
    if (GetFullPathNameW(wide.c_str(), length, full.data(), nullptr) == 0) return path;
    return wideToUtf8(full.data());
}

bool changeDirectory(const std::string& folder, std::string& error) {
    if (SetCurrentDirectoryW(utf8ToWide(folder).c_str())) return true;
    error = systemErrorText(GetLastError());
    return false;
}

}  // namespace feltrix::render
