// Child processes on Windows (run under wine here).
#include <windows.h>

#include <stdexcept>

#include "common/text_win32.h"
#include "tests/support/process_win32.h"
#include "tests/support/test_support.h"

namespace feltrix::testing {
namespace {

// Each argument is quoted whole: no test passes one holding a quote or ending in a backslash, which
// would need escaping.
std::wstring quoted(const std::string& argument) { return L"\"" + utf8ToWide(argument) + L"\""; }

// The process's environment with `extra` set on top, as a block for CreateProcessW (sorted,
// case-insensitive names, as Windows keeps it).
std::wstring environmentBlock(const std::map<std::string, std::string>& extra) {
    std::map<std::wstring, std::wstring, bool (*)(const std::wstring&, const std::wstring&)> entries(
        [](const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) < 0; });
    wchar_t* current = GetEnvironmentStringsW();
    for (const wchar_t* entry = current; *entry != L'\0'; entry += wcslen(entry) + 1) {
        const wchar_t* equals = wcschr(entry + 1, L'=');  // (names of drive folders start with '=')
        if (equals != nullptr) entries[std::wstring(entry, equals)] = equals + 1;
    }
    FreeEnvironmentStringsW(current);
    for (const auto& [key, value] : extra) entries[utf8ToWide(key)] = utf8ToWide(value);
    std::wstring block;
    for (const auto& [key, value] : entries) block += key + L"=" + value + L'\0';
    return block + L'\0';
}

// What the program printed, CR LF as LF, from the start of `file`.
std::string textOf(HANDLE file) {
    std::string text(GetFileSize(file, nullptr), '\0'), result;
    DWORD got = 0;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
    for (DWORD i = 0; i < got; ++i)
        if (text[i] != '\r' || i + 1 == got || text[i + 1] != '\n') result += text[i];
    return result;
}

// A temporary file for the program's output, gone once the last handle to it closes. (A pipe would not
// end with the program: the console host it starts holds the handles on.)
HANDLE captureFile(SECURITY_ATTRIBUTES* inheritable) {
    wchar_t folder[MAX_PATH], name[MAX_PATH];
    if (GetTempPathW(MAX_PATH, folder) == 0 || GetTempFileNameW(folder, L"ftx", 0, name) == 0)
        throw std::runtime_error("no temporary file");
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

}  // namespace

bool startProcess(const std::string& program, const RunOptions& options, HANDLE in, HANDLE out, HANDLE err,
                  DWORD flags, PROCESS_INFORMATION& process) {
    std::wstring commandLine = quoted(program);
    for (const std::string& argument : options.arguments) commandLine += L" " + quoted(argument);
    std::wstring environment = environmentBlock(options.environment);
    const std::wstring folder = utf8ToWide(options.workingDirectory);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    return CreateProcessW(utf8ToWide(program).c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                          flags | CREATE_UNICODE_ENVIRONMENT, environment.data(),
                          folder.empty() ? nullptr : folder.c_str(), &startup, &process) != 0;
}

RunResult runProgram(const std::string& program, const RunOptions& options) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE out = captureFile(&inheritable), err = captureFile(&inheritable), inRead = nullptr, inWrite = nullptr;
    if (options.stdinIsPipe) {
        if (!CreatePipe(&inRead, &inWrite, &inheritable, 1 << 16)) throw std::runtime_error("CreatePipe failed");
        SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
    } else {
        inRead = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0,
                             nullptr);
    }

    PROCESS_INFORMATION process{};
    const bool started = startProcess(program, options, inRead, out, err, CREATE_NO_WINDOW, process);
    CloseHandle(inRead);
    RunResult result{127};  // when it cannot be started, as on Linux
    if (started) {
        // Everything at once, as a parent program would write it; the pipe stays open (no end of input)
        // until the program has ended.
        DWORD written = 0;
        if (options.stdinIsPipe && !options.stdinData.empty())
            WriteFile(inWrite, options.stdinData.data(), static_cast<DWORD>(options.stdinData.size()), &written,
                      nullptr);
        result.timedOut =
            WaitForSingleObject(process.hProcess, static_cast<DWORD>(options.timeout.count())) != WAIT_OBJECT_0;
        if (result.timedOut) TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        result.exitCode = result.timedOut ? -1 : static_cast<int>(code);
        result.out = textOf(out);
        result.err = textOf(err);
        for (HANDLE h : {process.hProcess, process.hThread}) CloseHandle(h);
    }
    for (HANDLE h : {out, err, inWrite}) if (h != nullptr) CloseHandle(h);
    return result;
}

std::string listEntryAsScriptsRead(const std::string& text) { return wideToAnsi(utf8ToWide(text)); }

bool makeFifo(const std::string&) { return false; }

}  // namespace feltrix::testing
