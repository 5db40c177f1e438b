// feltrix-acquire.exe --monitor in a console of its own, beside the stand-in writing: reads the
// console's screen buffer (characters and attributes) to check the live view drawn through the
// console API, then prints the window's text.
//   usage: console_view_check EEGSIM_EXE
// Catches a view written as a stream (scrolling) instead of in place, escape codes shown as text,
// no highlighting, values that do not refresh, and an exit that loses the view or its code.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

HANDLE console = INVALID_HANDLE_VALUE;

struct Window {
    std::vector<std::string> text;
    std::vector<std::vector<WORD>> attributes;
    WORD plain = 0;
};

Window readWindow() {
    Window window;
    CONSOLE_SCREEN_BUFFER_INFO info;
    GetConsoleScreenBufferInfo(console, &info);
    window.plain = info.wAttributes;
    const DWORD width = static_cast<DWORD>(info.dwSize.X);
    for (SHORT row = info.srWindow.Top; row <= info.srWindow.Bottom; ++row) {
        std::string text(width, ' ');
        std::vector<WORD> attributes(width);
        DWORD read = 0;
        ReadConsoleOutputCharacterA(console, text.data(), width, COORD{0, row}, &read);
        ReadConsoleOutputAttribute(console, attributes.data(), width, COORD{0, row}, &read);
        window.text.push_back(text);
        window.attributes.push_back(attributes);
    }
    return window;
}

// The row starting with `label`, or -1.
int rowOf(const Window& window, const std::string& label) {
    for (std::size_t i = 0; i < window.text.size(); ++i)
        if (window.text[i].compare(0, label.size(), label) == 0) return static_cast<int>(i);
    return -1;
}

bool start(const std::wstring& commandLine, DWORD flags, PROCESS_INFORMATION& process) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring line = commandLine;
    return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr, &startup,
                          &process) != 0;
}

DWORD stop(const PROCESS_INFORMATION& process) {
    const std::wstring name = L"Local\\feltrix-stop-" + std::to_wstring(process.dwProcessId);
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, name.c_str());
    SetEvent(event);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
    DWORD code = 99;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(event);
    return code;
}

int failed(const char* what, const Window& window) {
    std::printf("FAILED: %s; the console window shows:\n", what);
    for (const std::string& line : window.text) std::printf("|%s|\n", line.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::wstring program = L"\"" + std::wstring(argv[1], argv[1] + std::char_traits<char>::length(argv[1])) + L"\"";
    SetEnvironmentVariableW(L"PELGRIN32_AREA_NAME", (L"feltrix-console-view-" + std::to_wstring(GetCurrentProcessId())).c_str());
    // A console of our own, which the monitor shares (its standard handles are this console's).
    FreeConsole();
    if (!AllocConsole()) return 3;
    console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
    PROCESS_INFORMATION writer{}, monitor{};
    if (!start(program + L" --quiet", CREATE_NO_WINDOW, writer)) return 4;
    if (!start(program + L" --monitor --only alpha", 0, monitor)) return 5;

    // The view, live: a highlighted Value that changes while the title stays on the window's top line.
    Window first, later;
    int valueRow = -1;
    for (int i = 0; i < 200 && valueRow < 0; ++i) {
        Sleep(100);
        first = readWindow();
        valueRow = rowOf(first, "Value");
    }
    for (int i = 0; i < 100; ++i) {
        Sleep(100);
        later = readWindow();
        if (valueRow >= 0 && later.text[valueRow] != first.text[valueRow]) break;
    }
    const DWORD writerCode = stop(writer), monitorCode = stop(monitor);
    const Window end = readWindow();
    for (const std::string& line : later.text) std::printf("%s\n", line.c_str());

    if (valueRow < 0) return failed("no Value row", first);
    if (rowOf(later, "feltrix-acquire --monitor (read only)") != 0) return failed("the title is not on the top line", later);
    if (later.text[valueRow] == first.text[valueRow]) return failed("the values did not change", later);
    if (later.text[valueRow].find('\x1b') != std::string::npos) return failed("escape codes in the text", later);
    bool highlighted = false;
    for (WORD attribute : later.attributes[valueRow]) highlighted = highlighted || attribute != later.plain;
    if (!highlighted) return failed("no highlighted value", later);
    if (rowOf(end, "feltrix-acquire: stopped") < 0) return failed("no closing line below the view", end);
    if (writerCode != 0 || monitorCode != 0) return failed("an exit code was not 0", end);
    std::printf("console view checked: title on the top line, values refreshed in place, changes highlighted\n");
    return 0;
}
