// The monitor's view on a Windows console, through the console API
// (positions, attributes, fills), which every console since Windows NT
// knows, escape codes or not.
#include <windows.h>

#include <algorithm>

#include "tools/acquire/monitor_console.h"

namespace eegsim::monitor {
namespace {

HANDLE output() { return GetStdHandle(STD_OUTPUT_HANDLE); }

WORD plainAttributes = FOREGROUND_RED | FOREGROUND_GREEN | FOREGROUND_BLUE;
SHORT drawnLines = 0;

// Reverse video: foreground and background colours swapped.
WORD reversed(WORD attributes) {
    return static_cast<WORD>((attributes & ~0xFF) | ((attributes & 0x0F) << 4) | ((attributes & 0xF0) >> 4));
}

bool windowInfo(CONSOLE_SCREEN_BUFFER_INFO& info) { return GetConsoleScreenBufferInfo(output(), &info) != 0; }

// Blanks `count` cells from `at` with the plain attributes.
void blank(COORD at, DWORD count) {
    DWORD written = 0;
    FillConsoleOutputCharacterA(output(), ' ', count, at, &written);
    FillConsoleOutputAttribute(output(), plainAttributes, count, at, &written);
}

void setCursorVisible(bool visible) {
    CONSOLE_CURSOR_INFO cursor{};
    if (GetConsoleCursorInfo(output(), &cursor)) {
        cursor.bVisible = visible ? TRUE : FALSE;
        SetConsoleCursorInfo(output(), &cursor);
    }
}

}  // namespace

void startConsoleView() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!windowInfo(info)) return;
    plainAttributes = info.wAttributes;
    setCursorVisible(false);
    const SMALL_RECT& window = info.srWindow;
    blank(COORD{0, window.Top}, static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(window.Bottom - window.Top + 1));
}

ConsoleSize consoleSize() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    ConsoleSize size;
    if (windowInfo(info)) {
        size.columns = info.srWindow.Right - info.srWindow.Left + 1;
        size.rows = info.srWindow.Bottom - info.srWindow.Top + 1;
    }
    return size;
}

void drawConsoleView(const std::vector<ScreenLine>& lines) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!windowInfo(info)) return;
    const SHORT top = info.srWindow.Top, left = info.srWindow.Left;
    const SHORT rows = static_cast<SHORT>(info.srWindow.Bottom - top + 1);
    const SHORT width = static_cast<SHORT>(info.dwSize.X - left);
    const SHORT count = static_cast<SHORT>(std::min<std::size_t>(lines.size(), static_cast<std::size_t>(rows)));
    for (SHORT row = 0; row < count; ++row) {
        COORD at{left, static_cast<SHORT>(top + row)};
        SetConsoleCursorPosition(output(), at);
        SHORT used = 0;
        for (const Segment& segment : lines[static_cast<std::size_t>(row)]) {
            const DWORD length = static_cast<DWORD>(std::min<std::size_t>(segment.text.size(),
                                                                          static_cast<std::size_t>(width - used)));
            DWORD written = 0;
            SetConsoleTextAttribute(output(), segment.highlighted ? reversed(plainAttributes) : plainAttributes);
            WriteConsoleA(output(), segment.text.data(), length, &written, nullptr);
            used = static_cast<SHORT>(used + length);
        }
        SetConsoleTextAttribute(output(), plainAttributes);
        if (used < width) blank(COORD{static_cast<SHORT>(left + used), at.Y}, static_cast<DWORD>(width - used));
    }
    // The rest of the window, and what a taller view left there before.
    const SHORT clearTo = std::max<SHORT>(rows, drawnLines);
    if (count < clearTo) blank(COORD{0, static_cast<SHORT>(top + count)}, static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(clearTo - count));
    drawnLines = count;
    SetConsoleCursorPosition(output(), COORD{left, static_cast<SHORT>(top + std::max<SHORT>(count - 1, 0))});
}

void endConsoleView() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (windowInfo(info)) {
        SetConsoleTextAttribute(output(), plainAttributes);
        const SHORT below = static_cast<SHORT>(std::min<int>(info.srWindow.Top + drawnLines, info.dwSize.Y - 1));
        SetConsoleCursorPosition(output(), COORD{0, below});
    }
    setCursorVisible(true);
}

}  // namespace eegsim::monitor
