// Child processes on Windows (run under wine here).
#include <windows.h>

#include <stdexcept>
#include <thread>

#include "common/win32_text.h"
#include "tests/support/test_support.h"

namespace feltrix::testing {
namespace {

// One argument quoted as the runtime's command-line parser reads it back.
std::wstring quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
    std::wstring text = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        text.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        text += c;
    }
    text.append(2 * backslashes, L'\\');
    return text + L"\"";
}

// The process's environment with `extra` set on top, as a block for
// CreateProcessW (sorted, case-insensitive names, as Windows keeps it).
std::wstring environmentBlock(const std::map<std::string, std::string>& extra) {
    std::map<std::wstring, std::wstring, bool (*)(const std::wstring&, const std::wstring&)> entries(
        [](const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) < 0; });
    wchar_t* current = GetEnvironmentStringsW();
    for (const wchar_t* entry = current; *entry != L'\0'; entry += wcslen(entry) + 1) {
        const std::wstring text(entry);
        const std::size_t equals = text.find(L'=', 1);
        if (equals != std::wstring::npos) entries[text.substr(0, equals)] = text.substr(equals + 1);
    }
    FreeEnvironmentStringsW(current);
    for (const auto& [key, value] : extra) entries[utf8ToWide(key)] = utf8ToWide(value);
    std::wstring block;
    for (const auto& [key, value] : entries) block += key + L"=" + value + L'\0';
    return block + L'\0';
}

std::string withoutCarriageReturns(const std::string& text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n') result += text[i];
    return result;
}

// Appends what the pipe holds; false once it is broken (the writer closed it).
bool drain(HANDLE pipe, std::string& sink) {
    DWORD waiting = 0;
    if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr)) return false;
    while (waiting > 0) {
        char buffer[65536];
        DWORD got = 0;
        if (!ReadFile(pipe, buffer, waiting < sizeof buffer ? waiting : sizeof buffer, &got, nullptr) || got == 0) {
            return false;
        }
        sink.append(buffer, got);
        waiting -= got;
    }
    return true;
}

}  // namespace

RunResult runProgram(const std::string& program, const RunOptions& options) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite, inRead = nullptr, inWrite = nullptr;
    if (!CreatePipe(&outRead, &outWrite, &inheritable, 0) || !CreatePipe(&errRead, &errWrite, &inheritable, 0)) {
        throw std::runtime_error("CreatePipe failed");
    }
    if (options.stdinIsPipe) {
        if (!CreatePipe(&inRead, &inWrite, &inheritable, 1 << 16)) throw std::runtime_error("CreatePipe failed");
        SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
    } else {
        inRead = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0,
                             nullptr);
    }
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);

    std::wstring commandLine = quoted(utf8ToWide(program));
    for (const std::string& argument : options.arguments) commandLine += L" " + quoted(utf8ToWide(argument));
    std::wstring environment = environmentBlock(options.environment);
    const std::wstring folder = utf8ToWide(options.workingDirectory);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inRead;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(utf8ToWide(program).c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, environment.data(),
                                        folder.empty() ? nullptr : folder.c_str(), &startup, &process);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (inRead != nullptr) CloseHandle(inRead);
    RunResult result;
    if (!started) {
        for (HANDLE h : {outRead, errRead, inWrite}) if (h != nullptr) CloseHandle(h);
        result.exitCode = 127;
        return result;
    }
    // Everything at once, as a parent program would write it; the pipe stays
    // open (no end of input) until the program has ended.
    DWORD written = 0;
    if (options.stdinIsPipe && !options.stdinData.empty())
        WriteFile(inWrite, options.stdinData.data(), static_cast<DWORD>(options.stdinData.size()), &written, nullptr);

    const auto deadline = std::chrono::steady_clock::now() + options.timeout;
    bool outOpen = true, errOpen = true;
    // After the program has ended, its pipes may still be held by a process it
    // started (the console host): what is there is read, then reading stops.
    std::chrono::steady_clock::time_point endedAt{};
    for (;;) {
        if (outOpen) outOpen = drain(outRead, result.out);
        if (errOpen) errOpen = drain(errRead, result.err);
        const bool ended = WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
        if (ended && endedAt == std::chrono::steady_clock::time_point{}) endedAt = std::chrono::steady_clock::now();
        if (!outOpen && !errOpen) break;
        if (ended && std::chrono::steady_clock::now() - endedAt > std::chrono::milliseconds(500)) break;
        if (!ended && std::chrono::steady_clock::now() > deadline) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, INFINITE);
            result.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    drain(outRead, result.out);
    drain(errRead, result.err);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    result.exitCode = result.timedOut ? -1 : static_cast<int>(code);
    for (HANDLE h : {outRead, errRead, inWrite, process.hProcess, process.hThread}) if (h != nullptr) CloseHandle(h);
    result.out = withoutCarriageReturns(result.out);
    result.err = withoutCarriageReturns(result.err);
    return result;
}

std::string listEntryAsScriptsRead(const std::string& text) { return wideToAnsi(utf8ToWide(text)); }

bool makeFifo(const std::string&) { return false; }

}  // namespace feltrix::testing
