#include <windows.h>
#include <io.h>

#include <cstdio>
#include <vector>

#include "tools/render/render_system.h"

namespace feltrix::render {
namespace {

std::wstring toWide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::vector<wchar_t> wide(static_cast<std::size_t>(length));
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), length);
    return std::wstring(wide.data());
}

std::string fromWide(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::vector<char> narrow(static_cast<std::size_t>(length));
    WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), length, nullptr, nullptr);
    return std::string(narrow.data());
}

std::string systemErrorText(DWORD code) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string result = text != nullptr ? fromWide(text) : "error " + std::to_string(code);
    if (text != nullptr) LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == '.')) {
        result.pop_back();
    }
    return result;
}

}  // namespace

bool standardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

std::string absolutePath(const std::string& path) {
    const std::wstring wide = toWide(path);
    const DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (length == 0) return path;
    std::vector<wchar_t> full(length);
    if (GetFullPathNameW(wide.c_str(), length, full.data(), nullptr) == 0) return path;
    return fromWide(full.data());
}

bool changeDirectory(const std::string& folder, std::string& error) {
    if (SetCurrentDirectoryW(toWide(folder).c_str())) return true;
    error = systemErrorText(GetLastError());
    return false;
}

// The C runtime's clock() counts wall time on Windows.
double processorSeconds() {
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user)) return 0.0;
    const auto ticks = [](const FILETIME& time) {
        return static_cast<double>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) * 1e-7;  // 100 ns ticks
}

}  // namespace feltrix::render
