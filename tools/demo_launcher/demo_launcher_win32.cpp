// feltrix-demo.exe: what the Start-menu entry "Feltrix demo" runs. Starts the
// stand-in (feltrix-acquire.exe, no console window, a process group of its
// own), then Feltrix.exe in the demo folder; when Feltrix ends, asks the
// stand-in to stop (Ctrl-Break, and its stop event), and ends it after a
// bounded wait if it has not stopped by then. Both programs are expected
// beside this one, the demo folder below it. Exit code: Feltrix's (1 when it
// could not be started).
#include <windows.h>

#include <string>

#include "common/text_win32.h"

namespace {

// How long the stand-in gets to finish after Ctrl-Break.
constexpr DWORD kStopBoundMilliseconds = 5000;

std::wstring programFolder() {
    const std::wstring path = feltrix::moduleFileName(nullptr);
    const std::wstring::size_type slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

bool start(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder, DWORD flags,
           PROCESS_INFORMATION& process) {
    std::wstring commandLine = L"\"" + program + L"\"" + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr,
                          folder.c_str(), &startup, &process) != 0;
}

// Asks the stand-in to stop: Ctrl-Break to its process group, sent from its
// own console (this program has none of its own, and is in another group),
// and its stop event "Local\feltrix-stop-<id>" set, which also
// works where console events cannot be sent (wine). The event is made here
// if the stand-in has not made it yet, so that it stops as soon as it has
// started. Returns the event's handle, to be kept until the stand-in ended.
HANDLE requestStop(const PROCESS_INFORMATION& standIn) {
    if (AttachConsole(standIn.dwProcessId)) {
        SetConsoleCtrlHandler(nullptr, TRUE);
        GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, standIn.dwProcessId);
        FreeConsole();
    }
    const std::wstring name = L"Local\\feltrix-stop-" + std::to_wstring(standIn.dwProcessId);
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, name.c_str());
    if (stop != nullptr) SetEvent(stop);
    return stop;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring folder = programFolder();
    const std::wstring demoFolder = folder + L"\\demo";

    // A job that ends the stand-in should this program itself be ended
    // (Task Manager, logging off) before it could stop it.
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job != nullptr) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }

    // Without the stand-in the demo still runs, unconnected, as Feltrix does
    // when no acquisition program is there.
    PROCESS_INFORMATION standIn{};
    const bool standInRunning = start(folder + L"\\feltrix-acquire.exe", L" --quiet", demoFolder,
                                      CREATE_NEW_PROCESS_GROUP | CREATE_NO_WINDOW, standIn);
    if (standInRunning && job != nullptr) AssignProcessToJobObject(job, standIn.hProcess);

    PROCESS_INFORMATION feltrix{};
    DWORD exitCode = 1;
    if (start(folder + L"\\Feltrix.exe", L"", demoFolder, 0, feltrix)) {
        WaitForSingleObject(feltrix.hProcess, INFINITE);
        GetExitCodeProcess(feltrix.hProcess, &exitCode);
        CloseHandle(feltrix.hThread);
        CloseHandle(feltrix.hProcess);
    } else {
        const std::wstring message = L"Feltrix.exe could not be started from " + folder + L":\n" +
                                     feltrix::systemMessage(GetLastError());
        MessageBoxW(nullptr, message.c_str(), L"Feltrix demo", MB_OK | MB_ICONERROR);
    }

    if (standInRunning) {
        HANDLE stop = requestStop(standIn);
        if (WaitForSingleObject(standIn.hProcess, kStopBoundMilliseconds) != WAIT_OBJECT_0) {
            TerminateProcess(standIn.hProcess, 1);
            WaitForSingleObject(standIn.hProcess, kStopBoundMilliseconds);
        }
        if (stop != nullptr) CloseHandle(stop);
        CloseHandle(standIn.hThread);
        CloseHandle(standIn.hProcess);
    }
    if (job != nullptr) CloseHandle(job);
    return static_cast<int>(exitCode);
}
