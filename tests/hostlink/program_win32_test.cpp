// Feltrix.exe binding PELGRIN32.DLL from its own folder and reading what a
// writer process (this test, standing in for the acquisition application)
// put in the area; the library missing; the install path in the registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/win32_text.h"
#include "interface_library/pelgrin32.h"
#include "tests/support/test_area_name.h"
#include "tests/support/test_support.h"

using namespace feltrix::testing;

namespace {

constexpr const char* kBindAndPrint =
    "local ok, e = pcall(tryLoadQuenterra)\n"
    "print(ok, e, quenterraConnected)\n"
    "function FeltrixUpdateCallback() print(leftAlphaValue, rightThetaThreshold, artifact) exit() end";

TEST(HostLinkWindows, ProgramReadsWhatTheWriterProcessWrote) {
    const TestAreaName area{"hostlink"};
    ASSERT_NE(Open("writer"), nullptr);
    DllCFunc(-3, 1234);       // left Alpha Value
    DllCFunc(-(128 + 18), -77);  // right Theta Threshold
    DllCFunc(-1616, 1);       // artifact
    TempDir dir;
    const RunResult r = runFeltrix(dir, kBindAndPrint);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(scriptOutput(r.out), "true\tnil\ttrue\n1234\t-77\ttrue\n");
}

TEST(HostLinkWindows, WithoutTheLibraryTheScriptGetsTheLoadError) {
    TempDir dir;
    // A copy of the program in a folder without PELGRIN32.DLL.
    std::filesystem::copy_file(feltrixBinary(), dir.file("Feltrix.exe"));
    dir.write("FeltrixInit.lj", kBindAndPrint);
    RunOptions options;
    options.workingDirectory = dir.path();
    options.environment["FELTRIX_AUTOMATION"] = "1";
    const RunResult r = runProgram(dir.file("Feltrix.exe"), options);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(scriptOutput(r.out),
              "false\tPelgrin32.dll could not be loaded. Make sure Quenterra is installed on your system.\tfalse\n"
              "0\t0\tfalse\n");
}

// REG_SZ with the terminating zero counted, holding the executable's full
// path (the exact path is checked with wine's reg tool by a test that runs
// alone: copies of the program elsewhere in this suite write theirs).
TEST(StartupWindows, InstallPathIsWrittenToTheRegistry) {
    TempDir dir;
    ASSERT_EQ(runFeltrix(dir, "exit()").exitCode, 0);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Brosvane\\Feltrix", 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0;
    DWORD bytes = 0;
    wchar_t value[4096] = {};
    bytes = sizeof value - sizeof(wchar_t);
    const LONG read = RegQueryValueExW(key, L"InstallPath", nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
    RegCloseKey(key);
    ASSERT_EQ(read, ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    const std::wstring path(value);
    EXPECT_EQ(bytes, (path.size() + 1) * sizeof(wchar_t));
    const std::wstring name = L"\\Feltrix.exe";
    ASSERT_GT(path.size(), name.size() + 2) << feltrix::wideToUtf8(path);
    EXPECT_EQ(path[1], L':') << feltrix::wideToUtf8(path);
    EXPECT_EQ(_wcsicmp(path.c_str() + path.size() - name.size(), name.c_str()), 0) << feltrix::wideToUtf8(path);
}

}  // namespace
