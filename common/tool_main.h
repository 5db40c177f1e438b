#pragma once
// The entry point of the companion programs. Each defines toolMain(); the
// platform file defines main (wmain on Windows, so that arguments naming
// files in any language arrive intact instead of through the ANSI code page)
// and hands it the arguments in UTF-8.
#include <string>
#include <vector>

// The arguments after the program's name; returns the exit code.
int toolMain(const std::vector<std::string>& arguments);
