#pragma once
// What feltrix-render needs from the operating system.
#include <string>

namespace feltrix::render {

bool standardErrorIsTerminal();
// `path` made absolute against the current folder.
std::string absolutePath(const std::string& path);
// Changes the current folder; false with the reason in `error`.
bool changeDirectory(const std::string& folder, std::string& error);
// Processor time of the whole process (all threads) so far, in seconds.
double processorSeconds();

}  // namespace feltrix::render
