// BackgroundProgram on Windows: the program in a process group of its own
// (with a console but no window). stop() sends it Ctrl-Break, the Windows
// counterpart of the signals the Linux tests send, and sets its stop event
// "Local\feltrix-stop-<id>" (what the project's programs also watch, since
// wine's GenerateConsoleCtrlEvent fails).
#include <windows.h>

#include <map>

#include "common/text_win32.h"
#include "tests/support/process_win32.h"
#include "tests/support/test_support.h"

namespace feltrix::testing {
namespace {

// The process handles behind the ids the class keeps.
std::map<pid_t, HANDLE>& processes() {
    static std::map<pid_t, HANDLE> handles;
    return handles;
}

}  // namespace

BackgroundProgram::BackgroundProgram(const std::string& program, const RunOptions& options,
                                     const std::string& outputFile) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE out = CreateFileW(outputFile.empty() ? L"NUL" : utf8ToWide(outputFile).c_str(), GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, CREATE_ALWAYS, 0, nullptr);
    HANDLE null = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                              OPEN_EXISTING, 0, nullptr);
    PROCESS_INFORMATION process{};
    if (startProcess(program, options, null, out, null, CREATE_NEW_PROCESS_GROUP | CREATE_NO_WINDOW, process)) {
        CloseHandle(process.hThread);
        pid_ = static_cast<pid_t>(process.dwProcessId);
        processes()[pid_] = process.hProcess;
    }
    CloseHandle(out);
    CloseHandle(null);
}

bool BackgroundProgram::running() {
    if (pid_ <= 0) return false;
    HANDLE process = processes()[pid_];
    if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0) return true;
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    status_ = static_cast<int>(code);
    CloseHandle(process);
    processes().erase(pid_);
    pid_ = -1;
    return false;
}

int BackgroundProgram::stop(int signal, std::chrono::milliseconds bound) {
    if (running()) {
        // Ctrl-Break from the program's own console; this process ignores it
        // meanwhile.
        HANDLE stopEvent = nullptr;
        if (signal != 0) {
            FreeConsole();
            if (AttachConsole(static_cast<DWORD>(pid_))) {
                SetConsoleCtrlHandler(nullptr, TRUE);
                GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, static_cast<DWORD>(pid_));
                FreeConsole();
            }
            const std::wstring name = L"Local\\feltrix-stop-" + std::to_wstring(pid_);
            stopEvent = CreateEventW(nullptr, TRUE, FALSE, name.c_str());
            if (stopEvent != nullptr) SetEvent(stopEvent);
        }
        const bool ended = waitFor([&] { return !running(); }, bound);
        if (stopEvent != nullptr) CloseHandle(stopEvent);
        if (!ended) {
            TerminateProcess(processes()[pid_], 1);
            WaitForSingleObject(processes()[pid_], INFINITE);
            running();
            status_ = -1;
        }
    }
    return status_;
}

}  // namespace feltrix::testing
