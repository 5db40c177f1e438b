// saveConfig and loadConfig as scripts use them, through the real program
// with file dialogs answered from FELTRIX_DIALOG_ANSWERS.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/test_support.h"

using namespace feltrix::testing;

const std::string kHeader = "-- Feltrix configuration file";

TEST(ConfigFunctions, LoadResultsAndErrors) {
    TempDir dir;
    const struct { const char* name; std::string content, expected; } cases[] = {
        {"table", kHeader + "\nreturn { a = 1 }", "table\t1"},
        {"two results reduced to one", kHeader + "\nreturn 1, 2", "1\tnil"},
        {"nothing returned", kHeader + "\nlocal x = 1", "nil\tnil"},
        {"text after header", kHeader + " saved 2026-12-06\nreturn 7", "7\tnil"},
        {"empty file", "", "false\tinvalid config file"},
        {"syntax error", kHeader + "\nreturn {", "false\tsyntax error in config file " + dir.file("case.fxc")},
        {"runtime error keeps its value", kHeader + "\nerror({ code = 42 })", "false\t42"},
        {"runtime error message", kHeader + "\nerror('bad value', 0)", "false\tbad value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dir.write("case.fxc", c.content);
        // In an update callback, which holds the script lock as the menu callbacks do.
        const RunResult r = runFeltrix(dir,
                                       "function FeltrixUpdateCallback()\n"
                                       "local ok, a, b = pcall(loadConfig, '" + dir.file("case.fxc") + "')\n"
                                       "local t = type(a) == 'table'\n"
                                       "if ok then print(t and 'table' or tostring(a), t and a.a or b)\n"
                                       "else print(false, t and a.code or a) end exit() end");
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(scriptOutput(r.out), c.expected + "\n");
    }
}

// From the init script (a callback's save is the main window's menu test): embedded zero bytes are
// saved; an empty answer and the end of the answers cancel a save: false.
TEST(ConfigFunctions, ArgumentFileErrorsAndCancelledSaves) {
    TempDir dir;
    const std::string zeros = dir.write("zeros.fxc", "replaced"), noFolder = dir.file("no/such/folder/x.fxc");
    RunOptions options;
    options.environment["FELTRIX_DIALOG_ANSWERS"] = dir.write("answers.txt", zeros + "\n\n" + noFolder + "\n");
    const RunResult r = runFeltrix(dir,
                                   "print(saveConfig('head\\0\\0tail'))\n"
                                   "print(select(2, pcall(loadConfig)))\n"
                                   "print(select(2, pcall(saveConfig, true)))\n"
                                   "print(select(2, pcall(function() return loadConfig('" +
                                       dir.file("missing.fxc") + "') end)))\n"
                                   "print(saveConfig('x'))\n"
                                   "print(select(2, pcall(saveConfig, 'x')))\n"
                                   "print(saveConfig('y')) exit()",
                                   options);
    EXPECT_EQ(scriptOutput(r.out),
              "true\n"
              "incorrect argument #1 to luaLoadConfig: string expected, got nil\n"
              "incorrect argument #1 to luaSaveConfig: string expected, got boolean\n"
              "could not load file " + dir.file("missing.fxc") + "\n"
              "false\n"
              "Error saving configuration file " + noFolder + ": No such file or directory\n"
              "could not write to file " + noFolder + "\nfalse\n");
    EXPECT_EQ(readFile(zeros), std::string("head\0\0tail", 10));
}

// A folder named in three scripts, as the file dialogs give it (UTF-8): saving and loading a
// configuration, a custom script run with dofile and loadfile. And chunks are source text only: a
// configuration or script that loads a bytecode string gets an error, and the session goes on.
TEST(ConfigFunctions, UnicodeFoldersAndSourceOnlyChunks) {
    TempDir dir;
    const std::string folder = "M\u00fcller \u6d4b\u8bd5 Jos\u00e9";  // in the program's folder, dir
    std::filesystem::create_directory(std::filesystem::u8path(dir.file(folder)));
    const std::string custom = folder + "/custom.lj", binary = folder + "/binary.fxc";
    dir.write(custom, "customValue = 'custom ran' return 'from custom'");
    dir.write(binary, kHeader + "\nreturn loadstring(BYTECODE)()");
    RunOptions options;
    options.environment["FELTRIX_DIALOG_ANSWERS"] = dir.write("answers.txt", folder + "/saved.fxc\n");
    const RunResult r = runFeltrix(dir,
                                   "BYTECODE = string.dump(function() return 'bytecode ran' end)\n"
                                   "print(saveConfig('" + kHeader + "\\nreturn \"loaded\"'))\n"
                                   "print(loadConfig('" + folder + "/saved.fxc'))\n"
                                   "print(dofile('" + custom + "'), customValue, type(loadfile('" + custom + "')))\n"
                                   "print(pcall(loadConfig, '" + binary + "'))\n"
                                   "print(select(2, loadstring(BYTECODE)))\n"
                                   "local given = false\n"
                                   "print(select(2, load(function() if not given then given = true return BYTECODE end end)))\n"
                                   "print('the session goes on') exit()",
                                   options);
    EXPECT_EQ(scriptOutput(r.out),
              "true\nloaded\nfrom custom\tcustom ran\tfunction\n"
              "false\t" + binary + ":2: attempt to call a nil value\n"
              "precompiled chunks are not loaded, only Lua source text\n"
              "(load): precompiled chunks are not loaded, only Lua source text\n"
              "the session goes on\n");
}
